#!/usr/bin/env bash
# The program's folders include one way: app -> camera -> render -> sim -> numeric, each only
# itself and the folders after it, and none of them a platform's code (platform/), the tools'
# (tools/), the benchmark's or the tests'. Usage: layering.sh SOURCE_DIR
set -euo pipefail
cd "$1"
layers=(app camera render sim numeric)
status=0
for i in "${!layers[@]}"; do
  folder=${layers[$i]}
  allowed=$(IFS='|'; echo "${layers[*]:$i}")
  # Every quoted include that names a folder, with the file and line it is on.
  while IFS= read -r found; do
    echo "$found: $folder/ may include only ${allowed//|/, }"
    status=1
  done < <(grep -HnE '^\s*#\s*include\s+"[^"]+/' "$folder"/* |
    grep -vE "#\s*include\s+\"($allowed)/[^/\"]+\"")
done
[ "$status" -eq 0 ] && echo "layering: ${layers[*]} include one way"
exit "$status"
