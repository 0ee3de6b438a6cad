# Writes the site's service worker (cmake -P): the template with each of the
# site's files and the SHA-256 of its bytes, and a digest of all of them, so
# that any change to the site makes a new worker, with a fresh cache, and the
# worker keeps no file that is not the one built.
#   -Dsite=<folder> -Dtemplate=<sw.js> "-Dfiles=index.html;app.js;..."
set(digests "")
set(entries "")
foreach(file IN LISTS files)
    file(SHA256 "${site}/${file}" digest)
    string(APPEND digests "${digest}")
    if(file STREQUAL "index.html")  # kept once, as './'
        set(file "./")
    endif()
    list(APPEND entries "['${file}', '${digest}']")
endforeach()
string(SHA256 digest "${digests}")
string(SUBSTRING "${digest}" 0 16 KQ71WB_SITE_DIGEST)
list(JOIN entries ",\n  " KQ71WB_SITE_FILES)
set(KQ71WB_SITE_FILES "\n  ${KQ71WB_SITE_FILES},\n")
configure_file("${template}" "${site}/sw.js" @ONLY)
