#!/usr/bin/env bash
# Times the README's two commands as a new user meets them: a fresh Debian 12
# root (debootstrap, minimal variant: no compiler, no cmake, nothing of the
# project's packages) holding a fresh clone of this repository's current
# commit, each command run as root inside it from nothing.
#   scripts/fresh-machine.sh [play|test|both] [folder]
#     play   scripts/play.sh in a root of its own
#     test   scripts/test.sh in a root of its own
#     both   each of the above (the default)
#   folder   where the roots go (default build/fresh-machine); the bare Debian
#            root is made once there and copied for each run.
# Needs root and debootstrap (scripts/deps.sh machine). The machine's load
# average is printed before and after each run: other work on it lengthens the
# figures.
set -euo pipefail
what=${1:-both}
repository=$(cd "$(dirname "$0")/.." && pwd)
folder=$(realpath -m "${2:-$repository/build/fresh-machine}")
mirror=http://deb.debian.org/debian

case "$what" in
  play | test) commands=("$what") ;;
  both) commands=(play test) ;;
  *)
    echo "usage: scripts/fresh-machine.sh [play|test|both] [folder]" >&2
    exit 2
    ;;
esac
if [[ $(id -u) -ne 0 ]]; then
  echo "scripts/fresh-machine.sh needs root (debootstrap, chroot, mounts)" >&2
  exit 2
fi
"$repository/scripts/deps.sh" machine

base=$folder/bookworm
if [ ! -e "$base/.complete" ]; then
  rm -rf "$base"
  mkdir -p "$folder"
  debootstrap --variant=minbase bookworm "$base" "$mirror"
  touch "$base/.complete"
fi

mounted=()
unmount_all() {
  local index
  for ((index = ${#mounted[@]} - 1; index >= 0; index--)); do
    umount -R "${mounted[index]}" 2>/dev/null || umount -lR "${mounted[index]}" || true
  done
  mounted=()
}
trap unmount_all EXIT

revision=$(git -C "$repository" rev-parse HEAD)
for command in "${commands[@]}"; do
  root=$folder/$command
  echo "== a fresh root for scripts/$command.sh: $root"
  # A run cut short may have left the machine's /dev or /sys mounted in the
  # old root: deleting through them would delete the machine's own.
  for mount_point in proc sys dev; do
    if mountpoint -q "$root/$mount_point"; then umount -R "$root/$mount_point"; fi
  done
  if grep -q " $root/" /proc/mounts; then
    echo "something is still mounted under $root; not deleting it" >&2
    exit 1
  fi
  rm -rf "$root"
  cp -a "$base" "$root"
  cp /etc/resolv.conf "$root/etc/resolv.conf"
  # A new user's machine on this network trusts what this machine trusts: a
  # network that inspects its HTTPS traffic presents certificates of its own
  # authority, which npm refuses unless told of it as this machine tells it.
  network_trust=()
  if [ -d /usr/local/share/ca-certificates ]; then
    mkdir -p "$root/usr/local/share/ca-certificates"
    cp -a /usr/local/share/ca-certificates/. "$root/usr/local/share/ca-certificates/"
  fi
  if [ -n "${NODE_EXTRA_CA_CERTS:-}" ] && [ -r "$NODE_EXTRA_CA_CERTS" ]; then
    cp "$NODE_EXTRA_CA_CERTS" "$root/etc/network-trust.pem"
    network_trust=(NODE_EXTRA_CA_CERTS=/etc/network-trust.pem)
  fi
  # The clone a new user makes: the committed tree of this revision, nothing
  # of this working copy's builds or installed packages.
  git clone --quiet --no-local "$repository" "$root/root/lumenveil"
  git -C "$root/root/lumenveil" checkout --quiet --detach "$revision"

  mount -t proc proc "$root/proc" && mounted+=("$root/proc")
  mount --rbind /sys "$root/sys" && mount --make-rslave "$root/sys" && mounted+=("$root/sys")
  mount --rbind /dev "$root/dev" && mount --make-rslave "$root/dev" && mounted+=("$root/dev")

  log=$folder/$command.log
  echo "load before: $(uptime)" | tee "$log"
  status=0
  # Wall time, and the processor time of everything it ran: on a busy machine
  # the second tells what the run itself cost.
  TIMEFORMAT="scripts/$command.sh: %0R s wall, %0U s user + %0S s system processor time"
  { time (chroot "$root" /usr/bin/env -i HOME=/root TERM=dumb LANG=C.UTF-8 \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin "${network_trust[@]}" \
    /bin/bash -c "cd /root/lumenveil && scripts/$command.sh" >>"$log" 2>&1); } 2>>"$log" || status=$?
  echo "load after: $(uptime)" | tee -a "$log"
  tail -n 2 "$log" | head -n 1
  echo "scripts/$command.sh: exit status $status (log: $log)" | tee -a "$log"
  unmount_all
done
