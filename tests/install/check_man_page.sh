#!/usr/bin/env bash
# Checks the man page of nettor-cli against the program's own help: every
# command and every long option that `nettor-cli --help` and each command's
# --help list is in the page, the page names none that the program lacks,
# and groff reads the page without a warning.
# Usage: check_man_page.sh NETTOR_CLI MAN_PAGE
set -uo pipefail
cli="$1"
page="$2"
fail=0

top="$("$cli" --help)" || { echo "$cli --help failed"; exit 1; }
# The commands are the lines under "Subcommands:".
commands="$(awk '/^Subcommands:/ {on = 1; next} on && /^  [a-z]/ {print $1}' <<<"$top")"
if [ -z "$commands" ]; then
  echo "no commands found in the help of $cli"; exit 1
fi
help_options="$(grep -oE -- '--[a-z][a-z-]*' <<<"$top")"
for c in $commands; do
  sub="$("$cli" "$c" --help)" || { echo "$cli $c --help failed"; exit 1; }
  help_options+=$'\n'"$(grep -oE -- '--[a-z][a-z-]*' <<<"$sub")"
done
help_options="$(sort -u <<<"$help_options" | sed '/^$/d')"

# In roff a minus is written \-.
text="$(sed 's/\\-/-/g' "$page")"
for c in $commands; do
  if ! grep -qE "^\.BI? \"?$c([ \"]|\$)" <<<"$text"; then
    echo "man page: the command '$c' is not described"; fail=1
  fi
done
for o in $help_options; do
  if ! grep -qE -- "(^|[ \"])$o([ \",]|\$)" <<<"$text"; then
    echo "man page: the option '$o' is missing"; fail=1
  fi
done
page_options="$(grep -E '^\.(B|BI|BR|TP)' <<<"$text" | grep -oE -- '--[a-z][a-z-]*' | sort -u)"
for o in $page_options; do
  if ! grep -qx -- "$o" <<<"$help_options"; then
    echo "man page: the option '$o' is not one of $cli"; fail=1
  fi
done

warnings="$(groff -man -ww -z -Tutf8 "$page" 2>&1)"
if [ -n "$warnings" ]; then
  echo "groff warns about $page:"; echo "$warnings"; fail=1
fi

if [ $fail -eq 0 ]; then
  echo "man page agrees with $cli: commands $(echo $commands), $(wc -w <<<"$help_options") options"
fi
exit $fail
