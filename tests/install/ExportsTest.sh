#!/usr/bin/env bash
# Each shared library of the system exports its interface and nothing else. Weak instantiations of
# the standard library's templates, the weak type information of the platform's classes that a
# library uses, and a sanitizer's own symbols may show; nothing else of a library's inside may.
# usage: ExportsTest.sh LIBRARY_DIR
set -u
dir=$1
status=0
check() {
  local lib=$1 interface=$2
  [ -f "$dir/$lib" ] || { echo "FAIL: no $dir/$lib"; status=1; return; }
  local extra
  extra=$(nm -D --defined-only -C "$dir/$lib" | sed 's/^[0-9a-f]* //' |
    grep -Ev "^[A-Za-z] ($interface)" |
    grep -Ev '^[WVu] .*(std::|__gnu_cxx::)' |
    grep -Ev '^[VW] (typeinfo|typeinfo name|vtable) for ' |
    grep -Ev '^[A-Za-z] (_init|_fini|_edata|_end|__bss_start)$' |
    grep -Ev '^[A-Za-z] _*(asan|odr_asan|ubsan|sanitizer|tsan)')
  if [ -n "$extra" ]; then
    echo "FAIL: $lib exports more than its interface:"
    echo "$extra" | head -20
    status=1
  fi
  # And the interface is there.
  nm -D --defined-only -C "$dir/$lib" | sed 's/^[0-9a-f]* //' | grep -Eq "^[A-Za-z] ($interface)" ||
    { echo "FAIL: $lib exports nothing of its interface"; status=1; }
}
check libOption.so 'COptionCtrl::|COptionData::|(typeinfo|typeinfo name|vtable) for COption(Ctrl|Data)'
check libMurmel.so 'CNewsInterface::|(typeinfo|typeinfo name|vtable) for CNewsInterface'
check libScrivo.so 'Scrivo::(setLogPath|setLogLevel|init|trace)\('
check libNetvane.so 'CNetvane::'
check libMapform.so '(MF_ParseXml|MF_ParseVersion|MF_ParseOrderInExcel|InitMenus|ParseMenus|ClearupMenus)\('
[ $status -eq 0 ] && echo "ok: every library exports its interface only"
exit $status
