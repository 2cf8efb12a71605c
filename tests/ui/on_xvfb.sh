#!/bin/sh
# SPDX-License-Identifier: Apache-2.0
# Runs a Python script of window tests under Xvfb with its own session bus and accessibility bus
# (window_session.py starts the program there). Exits 77 (skipped), saying why, where Xvfb, a
# session bus or the accessibility bindings are missing (scripts/install-deps installs them).
# Usage: on_xvfb.sh SCRIPT.py ARGS...
set -eu
skip() { echo "skipped: $1"; exit 77; }
command -v xvfb-run >/dev/null || skip "xvfb-run is not installed"
command -v dbus-run-session >/dev/null || skip "dbus-run-session is not installed"
[ -e /usr/share/dbus-1/services/org.a11y.Bus.service ] || skip "the accessibility bus (at-spi2-core) is not installed"
# The bindings are Debian's, for its own Python, whatever python3 comes first in PATH.
python=/usr/bin/python3
[ -x "$python" ] || python=python3
"$python" -c 'import pyatspi' 2>/dev/null || skip "python3-pyatspi is not installed"
script=$1
shift
exec dbus-run-session -- xvfb-run -a -s "-screen 0 1280x1024x24" "$python" "$(dirname "$0")/$script" "$@"
