# The newest version heading of CHANGELOG.md names the project version:
#   cmake -DCHANGELOG=... -DVERSION=... -P check_changelog.cmake
file(STRINGS ${CHANGELOG} headings REGEX "^## \\[[0-9]")
list(GET headings 0 newest)
if(NOT newest MATCHES "^## \\[${VERSION}\\]")
  message(FATAL_ERROR "CHANGELOG.md: the newest version is '${newest}', the project is ${VERSION}")
endif()
