#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Plants sampled small faults in src/ one at a time, rebuilds and runs the normal suite, and prints
# the share of faults caught. bench/mutants/run.sh --help for the options.
exec python3 "$(dirname "$0")/mutants.py" "$@"
