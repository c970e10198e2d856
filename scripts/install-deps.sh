#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the demo need. Idempotent: packages that are
# already present are skipped, so a developer machine pays nothing on the second run.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    libsimdjson-dev zlib1g-dev libjpeg62-turbo-dev libpng-dev
    libfontconfig-dev libfreetype-dev libharfbuzz-dev libicu-dev libcairo2-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    fonts-liberation2 fonts-dejavu-core fontconfig
    qpdf poppler-utils python3 python3-fonttools
    locales clang-format
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
    sudo_cmd=()
    [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
    export DEBIAN_FRONTEND=noninteractive
    "${sudo_cmd[@]}" apt-get update -qq
    "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The tests prove both decimal separators: one English locale and one with a decimal comma.
need_locales=()
locale -a 2>/dev/null | grep -qi '^en_US\.utf-\?8$' || need_locales+=("en_US.UTF-8 UTF-8")
locale -a 2>/dev/null | grep -qi '^hr_HR\.utf-\?8$' || need_locales+=("hr_HR.UTF-8 UTF-8")
if [ ${#need_locales[@]} -gt 0 ]; then
    sudo_cmd=()
    [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
    for l in "${need_locales[@]}"; do
        grep -qxF "$l" /etc/locale.gen 2>/dev/null || echo "$l" | "${sudo_cmd[@]}" tee -a /etc/locale.gen >/dev/null
    done
    "${sudo_cmd[@]}" locale-gen >/dev/null
fi
