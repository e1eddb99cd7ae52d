#!/usr/bin/env bash
# The demo package as examples/demo/make_package.py assembles it passes `ozip check` with no
# error and no warning. The native build has no setup.exe or demo program: ozip stands in for
# both, which changes sizes only.
set -euo pipefail
package="$ORVO_BUILD_DIR/tests/ozip/demo-package"
rm -rf "$package"
ozip="$ORVO_BIN_DIR/ozip$ORVO_EXE_SUFFIX"
python3 "$ORVO_SOURCE_DIR/examples/demo/make_package.py" "$ORVO_SOURCE_DIR/examples/demo" \
    "$ozip" "$ozip" "$package"
"$ozip" check "$package"
