# `make package` (cpack in the build folder): quelvar_<version>_<arch>.deb.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quelvar)
set(CPACK_PACKAGE_VENDOR "The Quelvar developers")
set(CPACK_PACKAGE_CONTACT "The Quelvar developers <developers@quelvar.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "simulator of an unlimited register machine")
set(CPACK_PACKAGE_DESCRIPTION
  "Quelvar simulates an unlimited register machine, the teaching model of
computation whose programs use Z(n), S(n), T(m,n) and J(m,n,q). Load a
program descriptor, then run it, step it, pause and halt it, and watch the
registers and the framed current line in one window. quelvar-run runs the
same programs without the window, for grading and scripts.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# quelvar-run loads GMP when it makes a program's number, so the linked libraries do not name it.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libgmp10")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://quelvar.org/")
include(CPack)
