#!/bin/sh
# help-to-man.sh PROGRAM OUT: a manual page whose body is PROGRAM --help as it prints it.
set -eu
name="$(basename "$1")"
{
  printf '.TH %s 1 "" "Veltorane" "User Commands"\n.SH NAME\n' "$(echo "$name" | tr a-z A-Z)"
  printf '%s \\- a simulated Veltorane traction control unit on a pseudo-terminal\n' "$name"
  printf '.SH DESCRIPTION\n.nf\n'
  # Backslashes and lines starting with a dot or a quote are roff's own: escape them.
  "$1" --help | sed -e 's/\\/\\e/g' -e "s/^\([.']\)/\\\\\&\1/"
  printf '.fi\n.SH SEE ALSO\n.BR traction (1),\n.BR tractionctl (1)\n'
} >"$2"
