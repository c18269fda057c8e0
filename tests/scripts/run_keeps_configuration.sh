#!/usr/bin/env bash
# `quoril run` after `quoril test` must build on the folder's configuration as
# it stands: a change of flags would recompile the whole program. The script
# runs on a one-file project laid out as ours, so that its run starts a
# program that ends at once.
set -euo pipefail
quoril=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

mkdir -p "$work/scripts"
cp "$quoril" "$work/scripts/quoril"
cat >"$work/CMakeLists.txt" <<'CMAKE'
cmake_minimum_required(VERSION 3.25)
project(keeps CXX)
option(QUORIL_WERROR "" OFF)
add_executable(quorilcad main.cpp)
if(QUORIL_WERROR)
  target_compile_options(quorilcad PRIVATE -Werror)
endif()
set_target_properties(quorilcad PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
CMAKE
echo 'int main() { return 0; }' >"$work/main.cpp"

# What `quoril test` leaves behind: build/ configured with warnings as errors.
cmake -S "$work" -B "$work/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORIL_WERROR=ON >/dev/null
cmake --build "$work/build" >/dev/null
object=$(find "$work/build" -name 'main.cpp.o')
before=$(stat -c %Y.%s "$object")
sleep 1

"$work/scripts/quoril" run >/dev/null

grep -q '^QUORIL_WERROR:BOOL=ON$' "$work/build/CMakeCache.txt" || {
  echo "run changed the configuration: $(grep '^QUORIL_WERROR' "$work/build/CMakeCache.txt")"
  exit 1
}
after=$(stat -c %Y.%s "$object")
[ "$before" = "$after" ] || { echo "run recompiled the program"; exit 1; }

# A folder never configured is still configured by run.
rm -rf "$work/build"
"$work/scripts/quoril" run >/dev/null
[ -x "$work/build/bin/quorilcad" ] || { echo "run built nothing in a new folder"; exit 1; }
echo "run kept the configuration"
