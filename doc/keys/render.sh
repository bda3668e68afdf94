#!/bin/sh
# Writes a list of panel keys (doc/keys/*.txt: one key a line, the key and what it does separated
# by a tab) in the form a document needs, so that every place that lists the keys says the same:
#   doc/keys/render.sh markdown|text|roff FILE
# markdown: a table for the guides; text: the plain-text guide's two columns, wrapped at 76;
# roff: tagged paragraphs for the manual page.
set -eu
form=$1
file=$2
case $form in
    markdown)
        printf '| Key | What it does |\n|---|---|\n'
        awk -F '\t' '{ printf "| %s | %s |\n", $1, $2 }' "$file"
        ;;
    text)
        # The key in 18 columns (on a line of its own when longer), what it does beside it.
        while IFS="$(printf '\t')" read -r key what; do
            wrapped=$(printf '%s\n' "$what" | fold -s -w 58 | sed -e 's/ *$//' -e 's/^/                  /')
            if [ ${#key} -le 15 ]; then
                first=$(printf '%s\n' "$wrapped" | head -n 1 | sed 's/^ *//')
                printf '  %-16s%s\n' "$key" "$first"
                printf '%s\n' "$wrapped" | tail -n +2
            else
                printf '  %s\n%s\n' "$key" "$wrapped"
            fi
        done < "$file"
        ;;
    roff)
        # A minus sign in roff is written \-, a hyphen would be typeset otherwise.
        sed -e 's/\\/\\e/g' -e 's/-/\\-/g' "$file" |
            awk -F '\t' '{ printf ".TP\n.B %s\n%s\n", $1, $2 }'
        ;;
    *)
        echo "usage: doc/keys/render.sh markdown|text|roff FILE" >&2
        exit 2
        ;;
esac
