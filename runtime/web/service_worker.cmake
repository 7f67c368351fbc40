# SPDX-FileCopyrightText: 2026 The Drenchwick developers
# SPDX-License-Identifier: MIT
# Writes a site's service worker once the files it keeps are in place:
#   cmake -DSITE=<folder> -DFILES=<file,file,...> -DTEMPLATE=<sw.js.in> -P service_worker.cmake
# It names each file with its hash, and the build by a hash of them all, so that any change makes
# a new worker and a new cache.
cmake_minimum_required(VERSION 3.25)

string(REPLACE "," ";" files "${FILES}")
list(SORT files)
file(SHA256 ${SITE}/index.html page)
set(list "['./', '${page}']")
set(all "")
foreach(f ${files})
  file(SHA256 ${SITE}/${f} hash)
  string(APPEND list ",\n  ['${f}', '${hash}']")
  string(APPEND all "${f} ${hash}\n")
endforeach()
string(SHA256 BUILD_ID "${all}")
string(SUBSTRING ${BUILD_ID} 0 16 BUILD_ID)
set(FILES "\n  ${list},\n")
configure_file(${TEMPLATE} ${SITE}/sw.js @ONLY)
