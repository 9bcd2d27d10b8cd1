#!/usr/bin/env bash
# Runs a test program under Wine at a display scaling:
#   with_dpi.sh DPI LOADER PROGRAM [ARGUMENTS...]
# in the Wine prefix of that DPI (scripts/bootstrap.sh, made on first use;
# the main prefix for 96). The program learns the DPI it must find from
# SIGNDESK_TEST_DPI, so that a run that did not get it fails.
set -euo pipefail
dpi=$1
shift
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/bootstrap.sh"
WINEPREFIX=$(signdesk_dpi_prefix "$dpi")
export WINEPREFIX SIGNDESK_TEST_DPI="$dpi"
exec "$@"
