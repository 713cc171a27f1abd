#!/usr/bin/env bash
# Every relative link in the README and in docs/ leads somewhere: to a file that exists, and where
# it names an anchor, to a heading of that page (anchors as the hosting sites make them: lower
# case, punctuation dropped, spaces as hyphens, a repeated heading numbered). Links to other
# sites and text in code are not links.
# Usage: bash doc_links_test.sh <runtime dir> <build dir> (both unused: the pages are checked
# where they are written).
set -u
root=$(cd "$(dirname "$0")/.." && pwd)

# Prints the page's text outside code: fenced blocks and `code spans` left out.
prose() {
  awk '/^ *```/ { fenced = !fenced; next } !fenced { gsub(/`[^`]*`/, ""); print }' "$1"
}

# Prints the anchors of the page's headings, one a line.
anchors() {
  awk '/^ *```/ { fenced = !fenced; next } !fenced && /^#+ / {
    sub(/^#+ +/, ""); sub(/ +#* *$/, "")
    anchor = tolower($0); gsub(/[^a-z0-9 _-]/, "", anchor); gsub(/ /, "-", anchor)
    if (anchor in seen) { print anchor "-" seen[anchor]; seen[anchor]++ } else { print anchor; seen[anchor] = 1 }
  }' "$1"
}

# Prints "page: target" for each relative link of the pages that leads nowhere.
broken_links() {
  local page target path anchor file
  for page in "$@"; do
    while IFS= read -r target; do
      case "$target" in
        *:*) continue ;; # https:, mailto: and the like
      esac
      path=${target%%#*}
      anchor=
      [[ "$target" = *"#"* ]] && anchor=${target#*#}
      file=$page
      [ -n "$path" ] && file=$(dirname "$page")/$path
      if [ ! -e "$file" ]; then
        echo "${page#"$root"/}: $target"
      elif [ -n "$anchor" ] && ! anchors "$file" | grep -qxF -- "$anchor"; then
        echo "${page#"$root"/}: $target"
      fi
    done < <(prose "$page" | grep -o '](\([^)]*\))' | sed 's/^](\(.*\))$/\1/; s/ .*//')
  done
}

# The check itself: it must find a missing file, a missing anchor and an anchor on another page
# that is not there, and pass good links, repeated headings, code and other sites.
sample=$(mktemp -d)
trap 'rm -rf "$sample"' EXIT
mkdir "$sample/docs"
cat >"$sample/README.md" <<'MD'
# Top
## What ./test.sh runs, and `why`
## Notes
## Notes
[fine](docs/page.md) [fine](#what-testsh-runs-and-why) [fine](#notes-1) ![pic](docs/pic.png)
[gone](docs/missing.md) and [no such heading](#nowhere), [other page](docs/page.md#nope)
[a site](https://example.org/x) `[in code](nowhere.md)`
```sh
[in a block](nowhere.md)
```
MD
printf '# Page\n[back](../README.md#top)\n' >"$sample/docs/page.md"
touch "$sample/docs/pic.png"
found=$(root=$sample broken_links "$sample/README.md" "$sample/docs/page.md" | sed "s|^$sample/||")
expected="README.md: docs/missing.md
README.md: #nowhere
README.md: docs/page.md#nope"
if [ "$found" != "$expected" ]; then
  echo "FAIL: the check itself found:"
  echo "$found"
  exit 1
fi

pages=("$root/README.md" "$root"/docs/*.md)
broken=$(broken_links "${pages[@]}")
if [ -n "$broken" ]; then
  echo "FAIL: links that lead nowhere:"
  echo "$broken"
  exit 1
fi
echo "all links of ${#pages[@]} pages lead somewhere"
