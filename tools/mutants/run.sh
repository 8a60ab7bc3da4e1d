#!/usr/bin/env bash
# Plants each small fault of patches/ in turn, rebuilds, runs the tests that should catch it
# and takes the fault out again. One line per fault, ending in "caught" or "survived"; exits
# 1 when any survived. Too slow for CI: run it before finishing work on the engine.
#
#   bash tools/mutants/run.sh [NAME...]     all faults, or those whose file names are given
#
# Each patch starts with "# tests: REGEX", the CTest names that must fail with it. The faults
# are planted in a checkout of HEAD of its own, build-mutants/tree, built in
# build-mutants/build, so the working tree is never touched: commit what is to be tried
# first. A fault that does not build proves nothing, so it counts as survived.
set -uo pipefail
cd "$(dirname "$0")/../.."
root=$PWD
tree=$root/build-mutants/tree
build=$root/build-mutants/build
if [[ -d $tree ]]; then
    git -C "$tree" checkout -q --detach --force "$(git rev-parse HEAD)" || exit 2
else
    git worktree add -q --detach "$tree" HEAD || exit 2
fi
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$tree" -B "$build" -DCMAKE_BUILD_TYPE=Debug "${launcher[@]}" >/dev/null || exit 2

patches=()
if (($#)); then
    for name in "$@"; do patches+=("tools/mutants/patches/${name%.patch}.patch"); done
else
    patches=(tools/mutants/patches/*.patch)
fi

applied=""
# A fault must never stay planted, also when the run is stopped.
trap '[[ -n $applied ]] && git -C "$tree" apply -R "$applied"; exit 130' INT TERM

survived=0
for patch in "${patches[@]}"; do
    name=$(basename "$patch" .patch)
    tests=$(sed -n 's/^# tests: //p' "$patch" | head -1)
    if [[ -z $tests ]] || ! git -C "$tree" apply --check "$root/$patch" 2>/dev/null; then
        echo "$name: does not apply to this tree"
        survived=1
        continue
    fi
    git -C "$tree" apply "$root/$patch" && applied=$root/$patch
    targets=$(echo "$tests" | tr '|' ' ' | tr -d '^$')
    if ! cmake --build "$build" -j"$(nproc)" --target $targets >/dev/null 2>&1; then
        verdict="does not build"
        survived=1
    elif (cd "$build" && ctest -R "^($tests)\$" --timeout 300 >/dev/null 2>&1); then
        verdict=survived
        survived=1
    else
        verdict=caught
    fi
    git -C "$tree" apply -R "$root/$patch" && applied=""
    echo "$name: $verdict"
done
exit $survived
