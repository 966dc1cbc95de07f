#!/bin/sh
# Prints the Windows architecture whose programs this host's Wine can run: i686 when the
# 32-bit Wine loader starts, x86_64 otherwise (for example on kernels without 32-bit support).
if /usr/lib/wine/wine --version >/dev/null 2>&1; then echo i686; else echo x86_64; fi
