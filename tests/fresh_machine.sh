#!/usr/bin/env bash
# Tries the README's quick start the way a newcomer meets it: on a minimal
# Debian 12 (bookworm) root made with debootstrap, with nothing installed but
# sudo, a clean clone of this project and a normal user who may use sudo.
# The two quick-start commands are taken from the README itself (the blocks
# after <!-- quick-start: run --> and <!-- quick-start: test -->) and run from
# the project's folder: both as that user, the first also as root; then the
# README's blocks that need root (<!-- readme: NAME fresh -->). Fails when a
# command fails or the converted example is not written; prints the time of
# each command.
# Usage: tests/fresh_machine.sh          (as root; needs debootstrap and network
#        access to the Debian archive this machine's apt uses)
# The minimal root is kept in $KALVERT_FRESH_CACHE (default
# /var/cache/kalvert/bookworm-minbase.tar) and reused on the next run.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
case "${1:-}" in -h | --help) sed -n '2,15p' "$0"; exit 0 ;; esac
[ "$(id -u)" -eq 0 ] || { echo "fresh_machine.sh: run it as root (debootstrap and chroot need it)" >&2; exit 2; }
command -v debootstrap >/dev/null || { echo "fresh_machine.sh: install debootstrap first" >&2; exit 2; }
cache=${KALVERT_FRESH_CACHE:-/var/cache/kalvert/bookworm-minbase.tar}
work=$(mktemp -d /var/tmp/kalvert-fresh.XXXXXX)
root=$work/root

cleanup() {
  umount -l "$root/proc" 2>/dev/null || true
  # Nothing of the host may stay mounted below the folder that is removed.
  if ! grep -q " $work/" /proc/mounts; then rm -rf --one-file-system "$work"; fi
}
trap cleanup EXIT

# The archive as this machine's apt reaches it.
mirror=$(awk '/^URIs:/ && $2 !~ /security/ {print $2; exit}' /etc/apt/sources.list.d/*.sources 2>/dev/null || true)
[ -n "$mirror" ] || mirror=$(awk '$1 == "deb" && $3 == "bookworm" {print $2; exit}' /etc/apt/sources.list)

seconds() { date +%s; }
started=$(seconds)
if [ -f "$cache" ]; then
  tar -xpf "$cache" -C "$work"
else
  echo "== minimal Debian 12 root (debootstrap --variant=minbase)"
  debootstrap --variant=minbase bookworm "$root" "$mirror" >"$work/debootstrap.log" 2>&1 ||
    { tail -n 20 "$work/debootstrap.log"; exit 1; }
  # apt in the root uses the same sources and settings as this machine's.
  rm -f "$root"/etc/apt/sources.list
  cp -a /etc/apt/sources.list.d/. "$root/etc/apt/sources.list.d/" 2>/dev/null || true
  [ -f /etc/apt/sources.list ] && cp /etc/apt/sources.list "$root/etc/apt/"
  find "$root/etc/apt/sources.list.d" -name '*.disabled*' -delete
  cp -a /etc/apt/apt.conf.d/. "$root/etc/apt/apt.conf.d/"
  cp /etc/resolv.conf "$root/etc/resolv.conf" 2>/dev/null || true
  mount -t proc proc "$root/proc"
  chroot "$root" apt-get update -q >/dev/null
  chroot "$root" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends sudo >/dev/null
  chroot "$root" apt-get clean
  chroot "$root" useradd --create-home --shell /bin/bash newcomer
  echo "newcomer ALL=(ALL) NOPASSWD: ALL" >"$root/etc/sudoers.d/newcomer"
  chmod 0440 "$root/etc/sudoers.d/newcomer"
  umount "$root/proc"
  mkdir -p "$(dirname "$cache")"
  tar -cpf "$cache" -C "$work" root
fi
cp /etc/resolv.conf "$root/etc/resolv.conf" 2>/dev/null || true
mount -t proc proc "$root/proc"
echo "minimal root ready after $(($(seconds) - started)) s"

# A clean clone of what is committed, as the user and as root.
git clone --quiet "$here" "$root/home/newcomer/kalvert"
chroot "$root" chown -R newcomer:newcomer /home/newcomer/kalvert
git clone --quiet "$here" "$root/root/kalvert"

quick_start() {  # run|test: the one command of that README block
  awk -v marker="<!-- quick-start: $1 -->" '
    $0 == marker { found = 1; next }
    found && /^```sh$/ { inside = 1; next }
    inside && /^```/ { exit }
    inside { print }' "$here/README.md" "$here/doc/manual.md"
}
readme_blocks() {  # the names of the blocks that need root
  sed -nE 's/^<!-- readme: ([^ ]+) fresh -->$/\1/p' "$here/README.md" "$here/doc/manual.md"
}
readme_block() {  # NAME
  awk -v marker="$1" '
    $0 ~ "^<!-- readme: " marker " " { found = 1; next }
    found && /^```sh$/ { inside = 1; next }
    inside && /^```/ { exit }
    inside { print }' "$here/README.md" "$here/doc/manual.md"
}

failures=0
report=()
run_as() {  # user title command
  local user=$1 title=$2 command=$3 home status=0 begun
  home=/home/newcomer
  [ "$user" = root ] && home=/root
  begun=$(seconds)
  echo "== $title (as $user)"
  chroot "$root" runuser -u "$user" -- env HOME="$home" PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    bash -c "cd $home/kalvert && $command" >"$work/$title.$user.log" 2>&1 || status=$?
  local summary
  summary=$(grep -E 'tests passed|tests failed' "$work/$title.$user.log" | tail -n 1 || true)
  report+=("$title as $user: $(($(seconds) - begun)) s, status $status${summary:+; $summary}")
  if [ "$status" -ne 0 ]; then
    echo "FAILED: $title as $user ended with status $status"
    tail -n 30 "$work/$title.$user.log"
    failures=$((failures + 1))
  fi
  return 0
}
converted() {  # home
  head -n 1 "$root/$1/kalvert/IU.ANMO.00.BHZ.fap" 2>/dev/null | grep -q '^CAL2 ANMO  BHZ'
}

run_command=$(quick_start run)
test_command=$(quick_start test)
[ -n "$run_command" ] && [ -n "$test_command" ] || { echo "no quick-start commands in the README"; exit 1; }
run_as newcomer quick-start-run "$run_command"
converted home/newcomer || { echo "FAILED: the first command wrote no IU.ANMO.00.BHZ.fap"; failures=$((failures + 1)); }
run_as newcomer quick-start-test "$test_command"
run_as root quick-start-run "$run_command"
converted root || { echo "FAILED: as root the first command wrote no IU.ANMO.00.BHZ.fap"; failures=$((failures + 1)); }
for block in $(readme_blocks); do
  run_as newcomer "readme-$block" "$(readme_block "$block")"
done

echo
printf '%s\n' "${report[@]}"
echo "fresh machine: $((${#report[@]} - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
