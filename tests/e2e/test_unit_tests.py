"""The portable core's unit tests in the Windows form: the same tests as the native run,
compiled by the cross compiler of this build and run under Wine, so a fault that only the
Windows (or only the 32-bit) compilation has shows up here."""

import pytest

from test_platform import assert_passed, run_platform_tests

UNIT_TESTS = "tests/unit/unit_tests.exe"


@pytest.mark.smoke32
@pytest.mark.timeout(300)
def test_unit_tests_pass_in_the_windows_build(wine):
    code, failures, skipped = run_platform_tests(wine, "unit", exe=UNIT_TESTS)
    assert_passed((code, failures, skipped))
    assert not skipped
