#!/usr/bin/env bash
# Counts the project's own C++ (third_party excluded): non-blank lines that
# are not only a comment, per folder, and the share of the tests.
set -euo pipefail
cd "$(dirname "$0")/.."

count() {
  find "$@" -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.hpp' -o -name '*.inc' \) -print0 2>/dev/null |
    xargs -0 -r cat |
    awk '
      BEGIN { inBlock = 0; n = 0 }
      {
        line = $0
        if (inBlock) {
          if (index(line, "*/") == 0) next
          line = substr(line, index(line, "*/") + 2); inBlock = 0
        }
        gsub(/^[ \t]+|[ \t]+$/, "", line)
        if (line == "" || line ~ /^\/\//) next
        if (line ~ /^\/\*/) {
          if (index(line, "*/") == 0) { inBlock = 1; next }
          rest = substr(line, index(line, "*/") + 2); gsub(/^[ \t]+/, "", rest)
          if (rest == "" || rest ~ /^\/\//) next
        }
        n++
      }
      END { print n }'
}

total=0
for folder in src include tools bench fuzz tests; do
  lines=$(count "$folder")
  printf '%-8s %6d\n' "$folder" "$lines"
  total=$((total + lines))
done
tests=$(count tests)
printf '%-8s %6d\n' total "$total"
awk -v t="$tests" -v all="$total" 'BEGIN { printf "tests are %.1f%% of the C++ (at most 33.3%% wanted)\n", 100 * t / all }'
