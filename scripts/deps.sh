#!/usr/bin/env bash
# Installs the Debian 12 packages Quorvan needs to build, run and test, if any is missing.
set -euo pipefail

packages=(
    build-essential cmake pkg-config
    qt6-base-dev qt6-webengine-dev qt6-5compat-dev libgl-dev
    zlib1g-dev libchm-dev libgumbo-dev libzip-dev fp-utils
    qt6-l10n-tools fonts-noto-cjk qt6-translations-l10n xvfb xauth xdg-utils tidy
    desktop-file-utils appstream shared-mime-info dpkg-dev file gzip
    python3 pandoc
    dbus at-spi2-core python3-pyatspi gir1.2-atspi-2.0 xdotool
    # The readers of the text formats the tests check: pdflatex with booktabs
    # (latex-recommended) and multirow (latex-extra, the only package that has
    # it), CJK and a Japanese font for Japanese cells; asciidoctor; docutils;
    # mwparserfromhell for MediaWiki spans, which pandoc reads only from 2.19.
    texlive-latex-base texlive-latex-recommended texlive-latex-extra
    latex-cjk-common latex-cjk-japanese-wadalab
    asciidoctor python3-docutils python3-mwparserfromhell
)

# The Nu HTML checker is not packaged by Debian; it comes from the npm
# registry into a folder of our own (tests/support/nu_checker.h looks there,
# or at $QUORVAN_VNU_JAR).
tools="${QUORVAN_TOOLS:-$HOME/.cache/quorvan-tools}"
install_nu_checker() {
    if [ ! -f "$tools/node_modules/vnu-jar/build/dist/vnu.jar" ]; then
        echo "Installing the Nu HTML checker into $tools"
        npm install --no-audit --no-fund --ignore-scripts --prefix "$tools" vnu-jar
    fi
}

# Java and npm from Debian only where the machine has none: a Node.js installed
# from elsewhere brings its own npm, which Debian's package conflicts with.
command -v java >/dev/null 2>&1 || packages+=(default-jre-headless)
command -v npm >/dev/null 2>&1 || packages+=(npm)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    install_nu_checker
    exit 0
fi

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
install_nu_checker
