#!/usr/bin/env bash
# The Debian package, made by cpack from this build and installed with dpkg into a scratch root:
# its dependencies, the installed tree, and a clean removal.
# usage: PackageTest.sh install|remove BUILD_DIR SCRATCH_DIR
set -u
action=$1; build=$2; scratch=$3
root=$scratch/root
fail() { echo "FAIL: $*"; exit 1; }
# The scratch root has no shell: the package's scripts (ldconfig) run outside it.
dpkg_root() { dpkg --root="$root" --force-not-root --force-script-chrootless --log=/dev/null "$@"; }

case $action in
install)
  rm -rf "$scratch"
  mkdir -p "$scratch/pkg" "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
  touch "$root/var/lib/dpkg/status"
  (cd "$scratch/pkg" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/pkg" >cpack.log 2>&1) ||
    { cat "$scratch/pkg/cpack.log"; fail "cpack -G DEB failed"; }
  deb=$(ls "$scratch"/pkg/parvel_*_*.deb 2>/dev/null | head -1)
  [ -n "$deb" ] || fail "cpack made no parvel_*.deb: $(ls "$scratch/pkg")"

  # Dependencies: the libraries it links (shlibdeps) and the programs it starts.
  depends=$(dpkg-deb -f "$deb" Depends)
  for want in ghostscript cups-client libwebkit2gtk-4.1-0 'libwxgtk3.2-1' libsqlite3-0 libcurl4 libfreexl1 \
              libtinyxml2.6.2v5 libcups2 libxss1; do
    case ", $depends," in *", $want"[\ ,]*) ;; *) fail "Depends lacks $want: $depends" ;; esac
  done
  # The scratch root has none of them: only the dependency check is forced.
  dpkg_root --force-depends -i "$deb" >"$scratch/dpkg.log" 2>&1 || { cat "$scratch/dpkg.log"; fail "dpkg -i failed"; }

  private=$(dpkg -L --root="$root" parvel 2>/dev/null | grep '/parvel/Parvel$' | head -1)
  [ -n "$private" ] || private=$(find "$root/usr/lib" -path '*/parvel/Parvel' | head -1 | sed "s|^$root||")
  [ -n "$private" ] || fail "no program Parvel in a private lib folder"
  libdir=$root$(dirname "$private")
  for f in usr/bin/parvel usr/share/applications/parvel.desktop usr/share/parvel/demo/orders.xls \
           usr/share/parvel/demo/ico; do
    [ -e "$root/$f" ] || fail "$f is not installed"
  done
  [ -x "$root/usr/bin/parvel" ] || fail "usr/bin/parvel is not executable"
  for size in 16 22 24 32 48 64 128 256; do
    icon=$root/usr/share/icons/hicolor/${size}x${size}/apps/parvel.png
    [ -f "$icon" ] || fail "no ${size}x${size} icon"
    file "$icon" | grep -q "$size x $size" || fail "icon $icon is $(file -b "$icon")"
  done
  desktop-file-validate "$root/usr/share/applications/parvel.desktop" || fail "desktop entry not valid"
  grep -q '^Exec=parvel$' "$root/usr/share/applications/parvel.desktop" || fail "desktop entry does not start parvel"
  grep -q '^Name\[zh_CN\]=' "$root/usr/share/applications/parvel.desktop" || fail "desktop entry has no Chinese name"
  for f in Parvel mapform-sheet libOption.so libMurmel.so libScrivo.so libNetvane.so libMapform.so \
           libPlatform.so libPlatformUi.so libPlatformWeb.so; do
    [ -f "$libdir/$f" ] || fail "$f is not in $libdir"
  done
  # Found through the RPATH, from where they are installed: nothing points into the build.
  for f in "$libdir"/*; do
    runpath=$(readelf -d "$f" | sed -n 's/.*(RUNPATH).*\[\(.*\)\]/\1/p')
    [ "$runpath" = '$ORIGIN' ] || fail "$(basename "$f") has RUNPATH '$runpath'"
  done
  missing=$(ldd "$libdir/Parvel" | grep 'not found')
  [ -z "$missing" ] || fail "unresolved libraries: $missing"
  for lib in libOption libMurmel libPlatformUi; do
    ldd "$libdir/Parvel" | grep -q "$lib.so => $libdir/$lib.so" || fail "$lib.so does not load from $libdir"
  done
  # Nothing of the tests goes into the package.
  if grep -rl 'PARVEL_MSGBOX_AUTO\|PARVEL_MSGBOX_LOG\|PARVEL_SHELL_LOG' "$root/usr"; then
    fail "a test switch is in the installed files"
  fi
  [ -z "$(find "$root/usr" -name 'devnet*' -o -name '*test*' -o -name 'Parvel_v*')" ] || fail "test programs installed"
  echo "ok: $(basename "$deb") installed into $root"
  ;;
remove)
  dpkg_root -r parvel >"$scratch/dpkg-remove.log" 2>&1 || { cat "$scratch/dpkg-remove.log"; fail "dpkg -r failed"; }
  left=$(find "$root" -not -type d -not -path "$root/var/lib/dpkg/*")
  [ -z "$left" ] || fail "left after removal: $left"
  rm -rf "$scratch"
  echo "ok: removed"
  ;;
esac
