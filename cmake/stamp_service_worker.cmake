# Writes the site's service worker and its index.html with the version of this build: a
# digest of the files it keeps for offline use, so that a release that changes any of them
# replaces them all. The page asks for the files of VERSIONED as NAME?v=VERSION (index.html
# names its scripts so, and the scripts the rest), so each release's are its own.
#   cmake -DSITE=DIR -DTEMPLATE=sw.js.in -DINDEX=index.html -DFILES="a;b;..."
#         -DVERSIONED="c;d;..." -P stamp_service_worker.cmake
file(SHA256 ${INDEX} digest)
set(digests "index.html:${digest}\n")
foreach(file IN LISTS FILES VERSIONED)
    file(SHA256 ${SITE}/${file} digest)
    string(APPEND digests "${file}:${digest}\n")
endforeach()
string(SHA256 version "${digests}")
string(SUBSTRING ${version} 0 16 SITE_VERSION)
set(quoted "\"./\", \"index.html\"")
foreach(file IN LISTS FILES)
    string(APPEND quoted ", \"${file}\"")
endforeach()
foreach(file IN LISTS VERSIONED)
    string(APPEND quoted ", \"${file}?v=${SITE_VERSION}\"")
endforeach()
set(SITE_FILES "${quoted}")
configure_file(${TEMPLATE} ${SITE}/sw.js @ONLY)
configure_file(${INDEX} ${SITE}/index.html @ONLY)
