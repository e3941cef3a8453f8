#!/bin/sh
# Stands in for the application registered for ".connect" files: notes what it was asked to open.
echo "$1" >> "${KORVANT_DEMO_OPENED:-/dev/null}"
