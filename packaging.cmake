# `cpack -G DEB` in the build folder makes the Debian package of the program.
set(CPACK_PACKAGE_NAME cbeam)
set(CPACK_PACKAGE_VENDOR "cbeam developers")
set(CPACK_PACKAGE_CONTACT "cbeam developers <cbeam@users.noreply.localhost>")
set(CPACK_PACKAGE_HOMEPAGE_URL "")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "continuous-beam calculator / 连续梁计算程序")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries come from dpkg-shlibdeps; what is loaded at run time and not
# linked is named here: the window-system plugins, the CJK font the drawings
# and windows need, and Qt's own Chinese texts for the standard dialogs.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-wqy-microhei, qt6-translations-l10n")
# The synopsis is the summary above; CPack indents these lines and marks the blank one.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
"cbeam analyses continuous beams of N spans over N+1 supports with fixed or
pinned outer ends and one uniform or point load per span, by the stiffness
method. After every edit it shows the node moments, a beam schematic and a
bending-moment diagram. Beams are kept as .bmf files; cbeam-cli does the
same work in batch.

cbeam 用位移法计算 N 跨连续梁（两端固结或铰接，每跨一个均布或集中荷载），
每次修改后给出结点弯矩、连续梁简图和弯矩图；连续梁保存为 .bmf 数据文件，
cbeam-cli 可批量计算。")
include(CPack)
