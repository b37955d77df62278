#!/usr/bin/env bash
# One entry point for working on dtmorph on Debian 12. Each command installs what is missing,
# configures and builds before it does its own work.
#
#   bash tools/dev.sh run     start the desktop demo in samples/
#   bash tools/dev.sh test    build what the tests need, once, under ASan and UBSan, and run them
#   bash tools/dev.sh bench   build the release tree and run the benchmark
#   bash tools/dev.sh cpus    run the engine's tests in the release tree on emulated processors
#                             without AVX2 (qemu-user): SSE2 alone, and up to SSE4.2
#   bash tools/dev.sh translations
#                             bring translations/dtdemo_en.ts up to date with the texts in src/
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
jobs=$(nproc 2>/dev/null || echo 2)

packages=(cmake ninja-build g++ pkg-config qt6-base-dev libgl-dev libgtest-dev libcli11-dev
          qt6-image-formats-plugins libtiff-dev zlib1g-dev python3-numpy desktop-file-utils
          fonts-ipafont-gothic fonts-ipafont-mincho qt6-translations-l10n libqt6svg6
          qt6-l10n-tools)

install_missing() {
  local missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "== installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

build() {  # build DIR [cmake options...]
  local dir=$1; shift
  cmake -S "$root" -B "$dir" -G Ninja "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
}

cmd_run() {
  install_missing "${packages[@]}"
  build "$root/build" -DCMAKE_BUILD_TYPE=Release
  cd "$root/samples"
  exec "$root/build/dtdemo" "$@"
}

# One tree holds what the tests run (the engine, both programs, the tests; not the benchmark),
# built once with AddressSanitizer and UndefinedBehaviorSanitizer (the tests' own code with the
# first alone) at a light optimisation that compiles quickly and keeps line numbers in reports.
cmd_test() {
  install_missing "${packages[@]}"
  export QT_QPA_PLATFORM=offscreen
  build "$root/build-test" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1" -DDT_SANITIZE=ON -DDT_BUILD_BENCH=OFF
  (cd "$root/build-test" && ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 \
     UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j "$jobs")
}

cmd_bench() {
  install_missing "${packages[@]}" libleptonica-dev  # Leptonica's figures beside ours
  build "$root/build" -DCMAKE_BUILD_TYPE=Release
  "$root/build/bench/dtbench" "$@"
}

# The engine picks its AVX2 code when the processor has it, so on most machines the tests never
# run the SSE2 code that older and smaller processors take. qemu-user emulates those processors
# (slowly: about a minute each). dtmorph's own tests are left out, as the programs they start run
# on the real processor.
cmd_cpus() {
  install_missing "${packages[@]}" qemu-user
  build "$root/build" -DCMAKE_BUILD_TYPE=Release
  local cpu
  for cpu in core2duo Westmere; do
    echo "== dtcore_tests on an emulated $cpu"
    qemu-x86_64 -cpu "$cpu" "$root/build/tests/dtcore_tests" --gtest_brief=1 \
      --gtest_filter='-Dtmorph.*'
  done
}

# Every text marked for translation in src/ (tr(), QT_TRANSLATE_NOOP) into the English .ts: a new
# one comes in unfinished, for its English to be filled in (by hand or with Qt Linguist); one
# that is gone leaves with its translation. The next build makes the .qm from it.
cmd_translations() {
  install_missing "${packages[@]}"
  local ts="$root/translations/dtdemo_en.ts"
  (cd "$root" && /usr/lib/qt6/bin/lupdate src -ts translations/dtdemo_en.ts -source-language ja \
     -target-language en -locations none -no-obsolete)
  local unfinished
  unfinished=$(grep -c 'type="unfinished"' "$ts" || true)
  echo "== $unfinished text(s) without English in translations/dtdemo_en.ts" \
       "(<translation type=\"unfinished\">)"
}

case "${1:-}" in
  run) shift; cmd_run "$@" ;;
  test) shift; cmd_test "$@" ;;
  bench) shift; cmd_bench "$@" ;;
  cpus) shift; cmd_cpus "$@" ;;
  translations) shift; cmd_translations "$@" ;;
  *) echo "usage: bash tools/dev.sh run|test|bench|cpus|translations" >&2; exit 2 ;;
esac
