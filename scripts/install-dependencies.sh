#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing need, only those missing.
set -euo pipefail

packages=(
  cmake g++ make pkg-config python3
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-image-formats-plugins qt6-svg-dev libqt6svg6 qt6-translations-l10n
  # TurboJPEG decodes JPEGs for the loader; djpeg is what kanat-bench measures it against
  libturbojpeg0-dev libjpeg-turbo-progs
  # OpenCV's core and image processing match and turn the collection's landmark patches; its SIFT
  # keypoints and RANSAC similarity find a wing before any landmark is placed
  libopencv-imgproc-dev libopencv-features2d-dev libopencv-calib3d-dev
  xvfb xdotool imagemagick clang clang-format-14 libclang-rt-14-dev desktop-file-utils
  # making the Debian package (cpack, dpkg-shlibdeps) and checking it and its metadata
  appstream dpkg-dev file lintian
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }
echo "Installing: ${missing[*]}"
as_root apt-get update -qq
as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
