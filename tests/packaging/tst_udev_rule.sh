#!/usr/bin/env bash
# Reads the package's udev rule with udev's own rule parser (udevadm test), in a mount namespace of
# its own where the rule is the only one and nothing is written outside, and checks that a broken
# copy of it is reported, so that the check can fail. No device is touched.
#   tst_udev_rule.sh RULE_FILE
set -uo pipefail
rule="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
check() { local what="$1"; shift; if "$@"; then echo "PASS: $what"; else fail "$what"; fi; }

command -v udevadm >/dev/null || { echo "FAIL: udevadm is missing (scripts/deps has udev)"; exit 1; }
device=""
for d in /sys/class/tty/tty /sys/class/mem/null /sys/class/tty/console; do
  [[ -e "$d" ]] && { device="$d"; break; }
done
[[ -n "$device" ]] || { echo "FAIL: no device in /sys to run the parser on"; exit 1; }

# parse DIR: udevadm's report on the rules in DIR, and only those.
parse() {
  unshare -rm sh -c '
    for d in /run /dev /lib/udev/rules.d /usr/lib/udev/rules.d /etc/udev/rules.d; do
      [ -d "$d" ] && mount -t tmpfs none "$d"
    done
    mount --bind "$1" /etc/udev/rules.d && udevadm test --action=add "$2" 2>&1' sh "$1" "$2"
}

mkdir -p "$work/good" "$work/broken"
name="$(basename "$rule")"
cp "$rule" "$work/good/$name"
report="$(parse "$work/good" "$device")"
check "udevadm reads the rule" grep -qF "Reading rules file: /etc/udev/rules.d/$name" <<<"$report"
if grep -E "^/etc/udev/rules.d/$name:[0-9]+ " <<<"$report"; then
  fail "the rule parses without a complaint"
else
  echo "PASS: the rule parses without a complaint"
fi
check "the rule is limited to FTDI adapters" grep -qE '^[^#]*DRIVER=="ftdi_sio".*ATTR\{latency_timer\}="1"' "$rule"

# The same rule with a misspelt key must be reported, or the check above proves nothing.
sed 's/DRIVER==/DRIVERS_MISSPELT==/' "$rule" >"$work/broken/$name"
report="$(parse "$work/broken" "$device")"
check "a broken copy is reported" grep -qE "^/etc/udev/rules.d/$name:[0-9]+ Invalid key" <<<"$report"

echo "$failures failed"
exit $((failures > 0))
