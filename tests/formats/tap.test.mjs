// quelvar-run's TAP as a TAP 14 consumer reads it: tap-parser, the parser of node-tap. Run as
//   node tap.test.mjs QUELVAR_RUN EXAMPLES
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { mkdtempSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { Parser } from 'tap-parser';

const [run, examples] = process.argv.slice(2);
const grading = join(examples, 'grading');

function quelvarRun(args) {
  try {
    return { status: 0, out: execFileSync(run, args, { encoding: 'utf8' }) };
  } catch (e) {
    return { status: e.status, out: e.stdout };
  }
}

// The parser's results, with every assertion and the YAML of each.
function parse(text) {
  const asserts = [];
  const parser = new Parser();
  parser.on('assert', (a) => asserts.push(a));
  let final;
  parser.on('complete', (r) => { final = r; });
  parser.end(text);
  return { final, asserts };
}

const table = [
  {
    what: 'a right submission',
    args: ['--format', 'tap', '--cases', join(grading, 'add.cases'),
      join(grading, 'submissions/alice/add.rm')],
    status: 0, ok: true, count: 5, fail: 0,
  },
  {
    what: 'a typo',
    args: ['--format', 'tap', '--cases', join(grading, 'add.cases'),
      join(grading, 'submissions/bob/add.rm')],
    status: 5, ok: false, count: 5, fail: 4,
  },
  {
    what: 'one that never halts',
    args: ['--format', 'tap', '--max-lines', '100000', '--cases', join(grading, 'add.cases'),
      join(grading, 'submissions/carol/add.rm')],
    status: 5, ok: false, count: 5, fail: 4,
  },
  {
    what: 'a model answer',
    args: ['--format', 'tap', '--reference', join(grading, 'model/add.rm'), '--inputs',
      '0..2,0..2,0', join(grading, 'submissions/bob/add.rm')],
    status: 5, ok: false, count: 9, fail: 6,
  },
  {
    what: 'a folder of submissions, each a subtest',
    args: ['--format', 'tap', '--max-lines', '100000', '--cases', join(grading, 'add.cases'),
      join(grading, 'submissions')],
    status: 5, ok: false, count: 3, fail: 2,
  },
  {
    what: 'a submission that cannot be loaded',
    args: ['--format', 'tap', '--cases', join(grading, 'add.cases'), join(grading, 'none.rm')],
    status: 1, ok: false, count: 1, fail: 1,
  },
];

for (const row of table) {
  const { status, out } = quelvarRun(row.args);
  assert.equal(status, row.status, row.what);
  const { final, asserts } = parse(out);
  assert.equal(final.ok, row.ok, `${row.what}: ok`);
  assert.equal(final.count, row.count, `${row.what}: count`);
  assert.equal(final.fail, row.fail, `${row.what}: failures`);
  assert.equal(final.plan.end, row.count, `${row.what}: the plan`);
  assert.deepEqual(final.failures.filter((f) => f.tapError), [], `${row.what}: no TAP error`);
  for (const a of asserts) {
    if (row.what.startsWith('a folder')) continue;
    assert.ok(a.diag, `${row.what}: ${a.name} has its YAML block`);
    if (a.name === 'load') continue;
    assert.ok(Array.isArray(a.diag.inputs), `${row.what}: ${a.name}'s inputs`);
    assert.equal(typeof a.diag.expected, 'string');
    assert.equal(typeof a.diag.got, 'string');
    assert.equal(a.ok ? undefined : typeof a.diag.message, a.ok ? undefined : 'string');
  }
}

// The YAML of a failing case: its inputs, expected and got.
{
  const { asserts } = parse(quelvarRun(['--format', 'tap', '--cases', join(grading, 'add.cases'),
    join(grading, 'submissions/bob/add.rm')]).out);
  const small = asserts.find((a) => a.name === 'small');
  assert.deepEqual(small.diag.inputs, [3, 4, 0]);
  assert.equal(small.diag.expected, 'R1=7');
  assert.equal(small.diag.got, 'end R1=3');
  assert.equal(small.diag.message, 'R1 is 3, expected 7');
}

// A run that wraps a register is flagged in the YAML.
{
  const dir = mkdtempSync(join(tmpdir(), 'quelvar-tap-'));
  writeFileSync(join(dir, 'wrap.cases'), '32767,1,0 => -32768\n');
  const { asserts } = parse(quelvarRun(['--format', 'tap', '--cases', join(dir, 'wrap.cases'),
    join(examples, 'add.rm')]).out);
  assert.equal(asserts[0].ok, true);
  assert.equal(asserts[0].diag.wrapped, true);
}
console.log(`ok: ${table.length} runs read back by tap-parser`);
