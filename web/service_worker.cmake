# Writes the site's service worker, SITE/sw.js, from TEMPLATE: the list of
# the site's files to keep, and a cache name made from their contents.
#   cmake -DSITE=... -DTEMPLATE=... -DFILES="a;b;..." -P service_worker.cmake
set(hashes "")
set(quoted "\"./\"")
foreach(file IN LISTS FILES)
  file(SHA256 "${SITE}/${file}" hash)
  string(APPEND hashes "${file} ${hash}\n")
  string(APPEND quoted ", \"${file}\"")
endforeach()
string(SHA256 SITE_HASH "${hashes}")
string(SUBSTRING "${SITE_HASH}" 0 16 SITE_HASH)
set(SITE_FILES "${quoted}")
configure_file("${TEMPLATE}" "${SITE}/sw.js" @ONLY)
