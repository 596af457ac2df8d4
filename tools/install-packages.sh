#!/usr/bin/env bash
# Installs the named Debian packages for the setup and check scripts, which
# name only what the machine lacks: given no package, it does nothing.
# Options before the names (--no-install-recommends) go to apt-get.
# Installing takes root; anyone else is told what to install.
set -euo pipefail

options=()
while [ $# -gt 0 ] && [ "${1#--}" != "$1" ]; do
  options+=("$1")
  shift
done
[ $# -gt 0 ] || exit 0
echo "installing: $*"
if [ "$(id -u)" -ne 0 ]; then
  echo "missing packages and not root: install $*" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update
apt-get install -y "${options[@]}" "$@"
