#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Sourced first, with the script's arguments, by a benchmark that runs a compositor (which
# refuses root, or needs a user's session): as root, runs the script again as the unprivileged
# user the end-to-end tests use (tests/e2e/lib.sh), with the same arguments.
if [ "$(id -u)" -eq 0 ]; then
    id velmora-e2e >/dev/null 2>&1 ||
        useradd --system --no-create-home --shell /usr/sbin/nologin velmora-e2e
    exec setpriv --reuid=velmora-e2e --regid=velmora-e2e --clear-groups \
        env TMPDIR=/tmp bash "$0" "$@"
fi
