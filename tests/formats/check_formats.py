#!/usr/bin/python3
"""quelvar-run's platform formats read back by their consumers: JUnit XML by junitparser, the
Gradescope and PrairieLearn results by JSON schemas written from their documentation.

    /usr/bin/python3 check_formats.py QUELVAR_RUN EXAMPLES
"""
import json
import os
import subprocess
import sys
import tempfile
import unittest

import jsonschema
import junitparser

RUN, EXAMPLES = sys.argv[1], sys.argv[2]
GRADING = os.path.join(EXAMPLES, "grading")
HERE = os.path.dirname(os.path.abspath(__file__))
CASES = os.path.join(GRADING, "add.cases")


def submission(name):
    return os.path.join(GRADING, "submissions", name, "add.rm")


def quelvar_run(*args):
    done = subprocess.run([RUN, "--max-lines", "100000", *args], capture_output=True)
    return done.returncode, done.stdout


def schema(name):
    with open(os.path.join(HERE, name), encoding="utf-8") as f:
        return jsonschema.Draft202012Validator(json.load(f))


# Each row: what is graded, the exit status, and per case (in file order) whether it passes.
ROWS = [
    ("right", ["--cases", CASES, submission("alice")], 0, [True] * 5),
    ("typo", ["--cases", CASES, submission("bob")], 5, [False, True, False, False, False]),
    ("never halts", ["--cases", CASES, submission("carol")], 5, [False, True, False, False, False]),
]
UNLOADABLE = ["--cases", CASES, os.path.join(GRADING, "none.rm")]


class Gradescope(unittest.TestCase):
    validator = schema("gradescope.schema.json")

    def test_each_submission(self):
        for name, args, status, passes in ROWS:
            code, out = quelvar_run("--format", "gradescope", *args)
            self.assertEqual(code, status, name)
            results = json.loads(out)
            self.validator.validate(results)
            tests = results["tests"]
            self.assertEqual([t["score"] == t["max_score"] for t in tests], passes, name)
            self.assertEqual(results["score"], sum(t["score"] for t in tests), name)
            secret = [t for t in tests if t["name"] == "secret"][0]
            self.assertEqual(secret["visibility"], "hidden")
            self.assertEqual(secret["max_score"], 3)

    def test_unloadable_is_a_zero_with_the_reason(self):
        code, out = quelvar_run("--format", "gradescope", *UNLOADABLE)
        self.assertEqual(code, 1)
        results = json.loads(out)
        self.validator.validate(results)
        self.assertEqual(results["score"], 0)
        self.assertIn("none.rm: File not found.", results["output"])


class PrairieLearn(unittest.TestCase):
    validator = schema("prairielearn.schema.json")

    def test_each_submission(self):
        for name, args, status, passes in ROWS:
            code, out = quelvar_run("--format", "prairielearn", *args)
            self.assertEqual(code, status, name)
            results = json.loads(out)
            self.validator.validate(results)
            self.assertTrue(results["gradable"])
            tests = results["tests"]
            self.assertEqual([t["points"] == t["max_points"] for t in tests], passes, name)
            earned = sum(t["points"] for t in tests) / sum(t["max_points"] for t in tests)
            self.assertAlmostEqual(results["score"], earned, msg=name)
            secret = [t for t in tests if t["name"] == "secret"][0]
            self.assertEqual(secret["output"], "")  # nothing of a hidden case's inputs

    def test_unloadable_is_not_gradable(self):
        code, out = quelvar_run("--format", "prairielearn", *UNLOADABLE)
        self.assertEqual(code, 1)
        results = json.loads(out)
        self.validator.validate(results)
        self.assertFalse(results["gradable"])
        self.assertIn("none.rm: File not found.", results["format_errors"][0])

    def test_the_schema_refuses_what_the_platform_would(self):
        for bad in [{"gradable": True}, {"score": 1.5}, {"gradable": False, "score": 0},
                    {"score": 1, "tests": [{"name": "a"}]}]:
            with self.assertRaises(jsonschema.ValidationError, msg=bad):
                self.validator.validate(bad)


def read_junit(out):
    with tempfile.NamedTemporaryFile(suffix=".xml") as f:
        f.write(out)
        f.flush()
        return junitparser.JUnitXml.fromfile(f.name)


def outcome(case):
    results = list(case.result)
    return "pass" if not results else type(results[0]).__name__.lower()


class Junit(unittest.TestCase):
    def test_each_submission(self):
        for name, args, status, passes in ROWS:
            code, out = quelvar_run("--format", "junit", *args)
            self.assertEqual(code, status, name)
            suites = list(read_junit(out))
            self.assertEqual(len(suites), 1)
            suite = suites[0]
            self.assertEqual(suite.tests, 5)
            self.assertEqual(suite.failures, passes.count(False))
            cases = list(suite)
            self.assertEqual([c.name for c in cases],
                             ["small", "zero", "second-only", "larger", "secret"])
            self.assertEqual([outcome(c) == "pass" for c in cases], passes, name)
            self.assertTrue(all(c.system_out.startswith("inputs: ") for c in cases))

    def test_a_folder_is_a_suite_a_submission(self):
        code, out = quelvar_run("--format", "junit", "--cases", CASES,
                                os.path.join(GRADING, "submissions"))
        self.assertEqual(code, 5)
        suites = list(read_junit(out))
        self.assertEqual([s.name.split("/")[-2] for s in suites], ["alice", "bob", "carol"])
        self.assertEqual([s.failures for s in suites], [0, 4, 4])

    def test_unloadable_is_an_error(self):
        code, out = quelvar_run("--format", "junit", *UNLOADABLE)
        self.assertEqual(code, 1)
        suite = list(read_junit(out))[0]
        self.assertEqual(suite.errors, 1)
        self.assertEqual(outcome(list(suite)[0]), "error")

    def test_a_wrapped_run_is_flagged(self):
        with tempfile.TemporaryDirectory() as folder:
            cases = os.path.join(folder, "wrap.cases")
            with open(cases, "w", encoding="utf-8") as f:
                f.write("32767,1,0 => -32768\n")
            for fmt, says in [("junit", b'<property name="wrapped" value="true"/>'),
                              ("gradescope", b'"tags":["wrapped"]'),
                              ("prairielearn", b"wrapped from 32767 to -32768")]:
                code, out = quelvar_run("--format", fmt, "--cases", cases,
                                        os.path.join(EXAMPLES, "add.rm"))
                self.assertEqual(code, 0)
                self.assertIn(says, out, fmt)
            read_junit(quelvar_run("--format", "junit", "--cases", cases,
                                   os.path.join(EXAMPLES, "add.rm"))[1])


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1])
