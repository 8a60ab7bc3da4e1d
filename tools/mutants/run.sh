#!/usr/bin/env bash
# Plants each small fault of patches/ in turn, rebuilds, runs the tests that should catch it
# and takes the fault out again. One line per fault, ending in "caught" or "survived"; exits
# 1 when any survived. Too slow for CI: run it before finishing work on the engine.
#
#   bash tools/mutants/run.sh [NAME...]     all faults, or those whose file names are given
#
# Each patch starts with "# tests: REGEX", the CTest names that must fail with it. The build
# goes to build-mutants/ (or $VANTOR_MUTANTS_BUILD, an existing build folder); the working
# tree must have no changes in the files a patch touches. A fault that does not build proves
# nothing, so it counts as survived.
set -uo pipefail
cd "$(dirname "$0")/../.."
root=$PWD
build=${VANTOR_MUTANTS_BUILD:-build-mutants}
if [[ ! -f $build/CMakeCache.txt ]]; then
    launcher=()
    command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug "${launcher[@]}" >/dev/null || exit 2
fi

patches=()
if (($#)); then
    for name in "$@"; do patches+=("tools/mutants/patches/${name%.patch}.patch"); done
else
    patches=(tools/mutants/patches/*.patch)
fi

applied=""
# A fault must never stay planted, also when the run is stopped.
trap '[[ -n $applied ]] && git -C "$root" apply -R "$applied"; exit 130' INT TERM

survived=0
for patch in "${patches[@]}"; do
    name=$(basename "$patch" .patch)
    tests=$(sed -n 's/^# tests: //p' "$patch" | head -1)
    if [[ -z $tests ]] || ! git apply --check "$patch" 2>/dev/null; then
        echo "$name: does not apply to this tree"
        survived=1
        continue
    fi
    git apply "$patch" && applied=$patch
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
    git apply -R "$patch" && applied=""
    echo "$name: $verdict"
done
# Leave the build as the tree is, so the next run starts from it.
cmake --build "$build" -j"$(nproc)" >/dev/null 2>&1
exit $survived
