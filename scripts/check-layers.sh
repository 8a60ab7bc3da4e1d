#!/usr/bin/env bash
# Fails when a file in src/ includes a folder above its own or beside it. The layers, each
# allowed to include itself and everything before it on its line:
#   platform -> platform/gui -> rules -> cleaner -> cli | widgets -> panel | editor -> app
# (rules, cleaner and cli include only the Qt Core part of platform, never platform/gui.)
set -euo pipefail
cd "$(dirname "$0")/../src"

allowed() {
    case "$1" in
    platform) echo "platform" ;;
    platform/gui) echo "platform platform/gui" ;;
    rules) echo "platform rules" ;;
    cleaner) echo "platform rules cleaner" ;;
    cli) echo "platform rules cleaner cli" ;;
    widgets) echo "platform platform/gui rules cleaner widgets" ;;
    panel) echo "platform platform/gui rules cleaner widgets panel" ;;
    editor) echo "platform platform/gui rules cleaner widgets editor" ;;
    app | .) echo "platform platform/gui rules cleaner cli widgets panel editor app" ;;
    *) echo "" ;;
    esac
}

status=0
while IFS= read -r file; do
    folder=$(dirname "$file")
    folder=${folder#./}
    ok=" $(allowed "$folder") "
    while IFS= read -r included; do
        target=$(dirname "$included")
        if [[ "$ok" != *" $target "* ]]; then
            echo "src/$file includes \"$included\": $folder may not use $target" >&2
            status=1
        fi
    done < <(sed -n 's/^#include "\([a-z/]*\/[A-Za-z]*\.h\)"$/\1/p' "$file")
done < <(find . -name '*.h' -o -name '*.cpp' | sed 's|^\./||')
exit $status
