#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Dravia4 need, when missing.
set -euo pipefail
# libclang-rt-14-dev: the libFuzzer and sanitizer runtimes of clang 14 (make fuzz).
# clang-format-14: the one formatter version whose output `make test` checks the sources against.
# slurmctld slurmd slurm-client munge: the private one-node cluster the Slurm sweep is tested on
# (scripts/local-slurm.sh); openssh-server rsync: the private sshd of the ssh sweep's test and
# GNU parallel's file transfers (scripts/local-sshd.sh).
# libsqlite3-dev: the run database; qt6-charts-dev qt6-svg-dev: the desktop's charts of a run
# (libqt6opengl6-dev: the Qt OpenGL module Qt Charts' CMake package asks for, not pulled in by it).
packages=(cmake make g++ clang libclang-rt-14-dev clang-format-14 qt6-base-dev libgl-dev libgtest-dev libgmock-dev
          libbenchmark-dev libcli11-dev fonts-liberation xvfb xauth python3 parallel
          slurmctld slurmd slurm-client munge openssh-server openssh-client rsync
          libsqlite3-dev qt6-charts-dev qt6-svg-dev libqt6opengl6-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi
echo "Installing Debian packages: ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
echo "Installed: ${missing[*]}"
