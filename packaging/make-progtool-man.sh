#!/usr/bin/env bash
# Writes progtool's manual page from the tool's own help, so the page lists
# exactly the commands and options that "progtool --help" and
# "progtool COMMAND --help" print (each command's option lines are made from
# the table its parser takes them from, cli/Options.cpp).
# usage: make-progtool-man.sh PROGTOOL TEMPLATE OUT VERSION
set -euo pipefail
progtool=$1 template=$2 out=$3 version=$4

# roff-safe text: backslashes, option dashes as minus signs, no leading control character.
escape() {
  sed -E -e 's/\\/\\e/g' \
         -e 's/(^|[][ (|,="])--/\1\\-\\-/g' -e 's/(^|[][ (|,="])-([A-Za-z])/\1\\-\2/g' \
         -e "s/^([.'])/\\\\\&\\1/"
}

# One command's help: usage lines as a synopsis, "  --opt  text" lines as a
# tagged list (deeper-indented lines continue the text), other lines as prose.
command_page() {
  escape | awk '
    function close_usage() { if (usage) { print ".fi"; usage = 0 } }
    /^usage: /                { close_usage(); print ".PP"; print ".nf"; sub(/^usage: /, ""); print; usage = 1; next }
    usage && /^    +[^ ]/     { sub(/^ +/, ""); print "       " $0; next }
    { close_usage() }
    /^  \\-/ {
      line = substr($0, 3); term = line; text = ""
      if (match(line, /   */)) { term = substr(line, 1, RSTART - 1); text = substr(line, RSTART + RLENGTH) }
      print ".TP"; print "\\fB" term "\\fR"; if (text != "") print text
      item = 1; para = 0; next
    }
    item && /^   +[^ ]/ { sub(/^ +/, ""); print; next }
    /^$/ { item = 0; para = 0; next }
    { if (item || !para) print ".PP"; item = 0; para = 1; print }
    END { close_usage() }'
}

help=$("$progtool" --help)
commands=$(printf '%s\n' "$help" | awk '/^Commands:/ { on = 1; next } on && /^$/ { exit } on { print $1 }')
[[ -n "$commands" ]] || { echo "make-progtool-man.sh: no commands in \"$progtool --help\"" >&2; exit 1; }

body=$(mktemp)
trap 'rm -f "$body"' EXIT
{
  echo ".SH DESCRIPTION"
  # Everything of the tool's help but its usage line and its command list.
  printf '%s\n' "$help" | escape | awk '/^usage:/ { next } /^Commands:/ { skip = 1; next } skip && /^$/ { skip = 0; next }
                                       skip { next } /^$/ { print ".PP"; next } { print }'
  echo ".SH COMMANDS"
  for c in $commands; do
    summary=$(printf '%s\n' "$help" | awk -v c="$c" '/^Commands:/ { on = 1; next } on && $1 == c { $1 = ""; sub(/^ +/, ""); print; exit }')
    echo ".SS $c"
    printf '%s\n' "$summary" | escape
    "$progtool" "$c" --help | command_page
  done
} >"$body"

date=$(date -u -d "@${SOURCE_DATE_EPOCH:-$(stat -c %Y "$template")}" +%Y-%m-%d)
awk -v body="$body" -v version="$version" -v date="$date" '
  /^@COMMANDS@$/ { while ((getline l < body) > 0) print l; next }
  { gsub(/@VERSION@/, version); gsub(/@DATE@/, date); print }' "$template" >"$out"
