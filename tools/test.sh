#!/usr/bin/env bash
# Builds everything and runs every test: the native tests (ASan/UBSan) and the cross-built tests
# under Wine. Ends with one line "N passed, M failed, K skipped" counted over every test case
# (GoogleTest and the end-to-end scenarios), after a line naming the Windows tree that ran.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${ORVIA_BUILD_DIR:-$root/build}
started=$(date +%s)

"$root/tools/setup.sh" || { echo "setup failed"; exit 1; }
"$root/tools/build.sh" || { echo "build failed"; echo "0 passed, 1 failed, 0 skipped"; exit 1; }

wine_flavour=$("$root/tools/wine/test-arch.sh")
flavours="native $wine_flavour"
ctest_failures=0
for flavour in $flavours; do
    rm -rf "$build/$flavour/test-results"
    mkdir -p "$build/$flavour/test-results"
    echo "== $flavour tests"
    ctest --test-dir "$build/$flavour" --output-on-failure -j "$(nproc)" || ctest_failures=$((ctest_failures + 1))
done

# Sum the reports of both flavours. The <testsuites> totals carry no skipped count, so skipped
# cases are counted from their <skipped> elements.
passed=0
failed=0
skipped=0
for flavour in $flavours; do
    read -r tests failures errors disabled < <(
        cat "$build/$flavour"/test-results/*.xml 2>/dev/null |
            awk 'match($0, /<testsuites [^>]*>/) {
                    s = substr($0, RSTART, RLENGTH)
                    for (k = split("tests failures errors disabled", names, " "); k > 0; k--) {
                        if (match(s, names[k] "=\"[0-9]+\"")) {
                            v = substr(s, RSTART, RLENGTH); gsub(/[^0-9]/, "", v); sum[names[k]] += v
                        }
                    }
                 }
                 END { print sum["tests"] + 0, sum["failures"] + 0, sum["errors"] + 0, sum["disabled"] + 0 }')
    flavour_skipped=$(cat "$build/$flavour"/test-results/*.xml 2>/dev/null | grep -o '<skipped[ />]' | wc -l)
    flavour_failed=$((failures + errors))
    flavour_passed=$((tests - disabled - flavour_failed - flavour_skipped))
    # A test program that crashed or timed out leaves no report: count it as one failure. Fixtures
    # (the Wine session, settings written into it) report nothing, so -FA leaves them out.
    while read -r name; do
        [ -f "$build/$flavour/test-results/$name.xml" ] || {
            echo "$flavour: $name left no report"
            flavour_failed=$((flavour_failed + 1))
        }
    done < <(ctest --test-dir "$build/$flavour" -N -L 'native|wine' -FA '.*' |
        sed -n 's/^ *Test *#[0-9]*: //p')
    echo "$flavour: $flavour_passed passed, $flavour_failed failed, $flavour_skipped skipped"
    passed=$((passed + flavour_passed))
    failed=$((failed + flavour_failed))
    skipped=$((skipped + flavour_skipped))
done
echo "test run took $(( $(date +%s) - started )) s"
if [ "$wine_flavour" = win32 ]; then
    echo "Windows tests ran from build/win32: the shipped 32-bit programs"
else
    echo "Windows tests ran from build/win64 (x86-64): the 32-bit programs were not run on this machine"
fi
echo "$passed passed, $failed failed, $skipped skipped"
[ "$failed" -eq 0 ] && [ "$ctest_failures" -eq 0 ]
