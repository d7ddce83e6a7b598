#!/bin/sh
# Stands in for the web browser in the test Wine prefix: records each
# address the program opens, one a line, instead of opening it. The log is
# C:\norvane-urls.log of the prefix, where the Windows tests read it.
log=${WINEPREFIX:-$HOME/.wine}/drive_c/norvane-urls.log
printf '%s\n' "$@" >> "$log"
