#!/bin/sh
# Copies the demo's documents to a dated folder.
set -e
dest="backup-$(date +%Y%m%d)"
mkdir -p "$dest"
cp -R ../../文档 "$dest"/
