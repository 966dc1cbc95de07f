#!/bin/sh
# Compiles the demo project with kestrixc: run-demo.sh NATIVE_BUILD_DIR
# The project names its movie and logo relative to this folder, so kestrixc runs here.
set -e
bin=$(cd "$1/bin" && pwd)
cd "$(dirname "$0")"
"$bin/kestrixc" demo.kcp
echo "The demo screen saver is $bin/output/KestrixDemo.scr"
