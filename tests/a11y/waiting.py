"""Waiting in the accessibility checks: a condition is polled until it holds, or a deadline that a
busy machine meets passes."""
import time

DEADLINE = 60  # seconds for anything to happen


def until(condition, what):
    end = time.time() + DEADLINE
    while time.time() < end:
        value = condition()
        if value:
            return value
        time.sleep(0.1)
    raise AssertionError("gave up waiting for " + what)
