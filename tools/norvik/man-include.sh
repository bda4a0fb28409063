#!/bin/sh
# Writes a help2man include file holding each subcommand's help and the
# sections of norvik.h2m (environment, exit status, examples):
# man-include.sh NORVIK OUT
norvik=$1
{
  cat "$(dirname "$0")/norvik.h2m"
  echo "[SUBCOMMANDS]"
  for sub in check show diff to-json from-json schema sample format; do
    echo ".SS $sub"
    echo ".nf"
    "$norvik" "$sub" --help | sed 's/\\/\\\\/g; s/^\./\\\&./'
    echo ".fi"
  done
} > "$2"
