#!/usr/bin/env bash
# Builds and runs the benchmarks under Wine on the virtual display: the login
# panel (creation, login click) and the trace log (against spdlog and a plain
# loop). Not part of the tests or of CI: the figures depend on the machine.
#
#   bash scripts/bench.sh [runs of the panel benchmark]
#
# SIGNDESK_BENCH_BUILD names another build folder (default build/x86_64).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/bootstrap.sh"
cd "$SIGNDESK_ROOT"

build="${SIGNDESK_BENCH_BUILD:-build/x86_64}"
cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-x86_64.cmake \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j "$(nproc)" --target bench_panel bench_tracelog
bin="$build/bin"

cpu=$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')
echo
echo "machine: $cpu, $(nproc) cores, $("$WINE" --version)"
echo
# From the executables' folder, as the host runs: the panel's trace log and
# ini file are looked for beside the executable.
(cd "$bin" && "$WINE" ./bench_panel.exe "$@")
echo
(cd "$bin" && "$WINE" ./bench_tracelog.exe)
