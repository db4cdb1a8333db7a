#!/usr/bin/env bash
# Configures and builds with the default preset (build/), including the program directory.
# Warnings are errors here (KAM_WERROR=OFF in the environment turns that off).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset default -DKAM_WERROR="${KAM_WERROR:-ON}" >/dev/null
cmake --build --preset default "$@"
