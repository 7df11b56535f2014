# Writes the site's service worker with the version of this build: a digest of the files it
# keeps for offline use, so that a release that changes any of them replaces them all.
#   cmake -DSITE=DIR -DTEMPLATE=sw.js.in -DFILES="a;b;..." -P stamp_service_worker.cmake
set(digests "")
set(quoted "\"./\"")
foreach(file IN LISTS FILES)
    file(SHA256 ${SITE}/${file} digest)
    string(APPEND digests "${file}:${digest}\n")
    string(APPEND quoted ", \"${file}\"")
endforeach()
string(SHA256 version "${digests}")
string(SUBSTRING ${version} 0 16 SITE_VERSION)
set(SITE_FILES "${quoted}")
configure_file(${TEMPLATE} ${SITE}/sw.js @ONLY)
