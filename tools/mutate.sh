#!/usr/bin/env bash
# Mutation run: puts each fault of tools/mutants.txt into the program alone, rebuilds,
# runs the test suite and reports whether a test noticed it (killed) or not (survived).
# Not part of the test run; see the README.
#
#   bash tools/mutate.sh [LIST] [PATTERN]
#
# LIST defaults to tools/mutants.txt; with PATTERN (an extended regular expression) only the
# mutants whose "#number file note" matches it run, e.g. 'profile' or '#(3|12) '. A
# mutant's text is found by its words, not by a line number, so the list outlives edits
# around it; a text that is no longer found exactly once is reported as stale and
# not counted. The suite runs in its own build folder (build-mutate) and stops at the first
# failing test. The tests the mutant names run first, then all the others; a test that
# hangs is stopped by ctest's timeout and counts as failing. A mutant the list calls
# equivalent (no test can tell it from the original, for the reason given) runs its named
# tests only.
set -uo pipefail
cd "$(dirname "$0")/.."
list=${1:-tools/mutants.txt}
pattern=${2:-}
build=build-mutate
test_timeout=${VEMO_MUTANT_TEST_TIMEOUT:-120}  # seconds for one test
mutant_timeout=${VEMO_MUTANT_TIMEOUT:-900}     # seconds for all tests of one mutant

export QT_QPA_PLATFORM=offscreen

# The file being mutated and its original content, put back on every way out.
current=""
saved=$(mktemp)
log=$(mktemp)
restore() {
    if [ -n "$current" ]; then
        cat "$saved" >"$current"
        touch "$current"
        current=""
    fi
}
trap 'restore; rm -f "$saved" "$log"' EXIT
trap 'echo; echo "interrupted: $current put back"; exit 130' INT TERM

build() {
    cmake --build "$build" -j2 --target vemo_core_tests vemo_gui_tests >"$log" 2>&1
}
# ctest on the build folder; extra arguments select tests. 0 when every test passed.
suite() {
    (cd "$build" && timeout "$mutant_timeout" ctest -j2 --stop-on-failure \
        --timeout "$test_timeout" "$@" >"$log" 2>&1)
}

# The list: blocks of "key: value" lines (file, from, to, tests, note, equivalent);
# "#" starts a comment line. Read into parallel arrays.
files=() froms=() tos=() tests=() notes=() equivalents=()
add_block() {
    [ -z "${b_file:-}" ] && return
    files+=("$b_file") froms+=("$b_from") tos+=("$b_to") tests+=("${b_tests:-}")
    notes+=("${b_note:-}") equivalents+=("${b_equivalent:-}")
}
b_file=""
while IFS= read -r line || [ -n "$line" ]; do
    case "$line" in
        '#'* | '') continue ;;
    esac
    key=${line%%:*}
    value=${line#*:}
    value=${value#"${value%%[![:space:]]*}"}
    case "$key" in
        file)
            add_block
            b_file=$value b_from="" b_to="" b_tests="" b_note="" b_equivalent=""
            ;;
        from) b_from=$value ;;
        to) b_to=$value ;;
        tests) b_tests=$value ;;
        note) b_note=$value ;;
        equivalent) b_equivalent=$value ;;
        *) echo "$list: unknown line: $line" >&2 && exit 2 ;;
    esac
done <"$list"
add_block

# Occurrences of a literal text in a file.
occurrences() {
    FROM=$1 perl -0ne '$n = () = /\Q$ENV{FROM}\E/g; print $n' "$2"
}

started=$(date +%s)
echo "Building $build without mutants"
# Every mutant relinks the test programs: lld, where there is one, does that fastest.
linker=()
command -v ld.lld >/dev/null && linker=(-DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld)
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVEMO_BUILD_TESTS=ON "${linker[@]}" \
    >"$log" 2>&1 &&
    build || { cat "$log"; echo "the unmutated program does not build"; exit 2; }
# The mutants chosen, by index.
chosen=()
for i in "${!files[@]}"; do
    [[ "#$((i + 1)) ${files[$i]} ${notes[$i]}" =~ $pattern ]] && chosen+=("$i")
done
# The tests they name must pass without a mutant, or a "killed" would mean nothing.
named=$(for i in "${chosen[@]}"; do echo "${tests[$i]}"; done | grep -v '^$' | sort -u |
    paste -sd'|')
if [ -n "$named" ] && ! suite -R "$named"; then
    tail -30 "$log"
    echo "the named tests fail without a mutant"
    exit 2
fi

killed=0 survived=0 stale=0 broken=0 equivalent_survivors=0
survivors=()
for i in "${chosen[@]}"; do
    file=${files[$i]} note=${notes[$i]}
    label="#$((i + 1)) $file: $note"
    if [ ! -f "$file" ] || [ "$(occurrences "${froms[$i]}" "$file")" != 1 ]; then
        echo "stale     $label"
        stale=$((stale + 1))
        continue
    fi
    cp "$file" "$saved"
    current=$file
    FROM=${froms[$i]} TO=${tos[$i]} perl -0pi -e 's/\Q$ENV{FROM}\E/$ENV{TO}/' "$file"
    t0=$(date +%s)
    if ! build; then
        restore
        echo "broken    $label (does not compile)"
        broken=$((broken + 1))
        continue
    fi
    verdict=survived
    if [ -n "${tests[$i]}" ] && ! suite -R "${tests[$i]}"; then
        verdict=killed
    elif [ -z "${equivalents[$i]}" ] && ! suite ${tests[$i]:+-E "${tests[$i]}"}; then
        verdict=killed
    fi
    restore
    seconds=$(($(date +%s) - t0))
    if [ "$verdict" = killed ]; then
        killed=$((killed + 1))
        by=$(grep -m1 -E '\*\*\*(Failed|Timeout|Exception)' "$log" |
            sed -E 's/.*Test +#[0-9]+: ([^ ]+).*/\1/')
        echo "killed    $label (${seconds}s, by ${by:-?})"
    else
        survived=$((survived + 1))
        if [ -n "${equivalents[$i]}" ]; then
            equivalent_survivors=$((equivalent_survivors + 1))
            echo "survived  $label (${seconds}s; equivalent: ${equivalents[$i]})"
        else
            survivors+=("#$((i + 1))")
            echo "survived  $label (${seconds}s)"
        fi
    fi
done

# Leave the build folder matching the sources again.
build || true
counted=$((killed + survived))
echo
echo "mutants: $counted run, $killed killed, $survived survived" \
    "($equivalent_survivors of them equivalent), $stale stale, $broken not compiling"
if [ "$counted" -gt 0 ]; then
    real=$((counted - equivalent_survivors))
    echo "mutation score: $((100 * killed / counted))% of all run," \
        "$((100 * killed / (real > 0 ? real : 1)))% of the non-equivalent"
fi
[ "${#survivors[@]}" -gt 0 ] && echo "survivors without a reason: ${survivors[*]}"
took=$(($(date +%s) - started))
echo "took $((took / 60)) min $((took % 60)) s on $(date +%F)"
[ "${#survivors[@]}" -eq 0 ]
