#!/usr/bin/env bash
# Installs the Debian packages the project needs; does nothing when all are present.
# --demo: also what the demo needs to be read (a Japanese font).
set -euo pipefail

packages=(
    g++ cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev
    qt6-translations-l10n  # Qt's own texts (menus, file dialogs) in Japanese
    libgtest-dev libgmock-dev libbenchmark-dev
    libpulse-dev
    curl vsftpd python3-pyftpdlib
    clang-format
)

# The demo shows the Japanese user interface: it needs a font with Japanese glyphs.
if [[ "${1:-}" == "--demo" ]] && ! fc-list :lang=ja 2>/dev/null | grep -q .; then
    packages+=(fontconfig fonts-noto-cjk)
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}" >&2
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
