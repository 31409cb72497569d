# Runs inside cpack on the staged tree before it is packed, doing what Debian's own tools do
# to every package: man pages and the changelog are stored gzip-compressed, without a time
# stamp, so that two builds of one source give the same files; lintian's overrides go in.
set(stage "${CPACK_TEMPORARY_INSTALL_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}")
file(GLOB docs "${stage}/share/man/man*/*" "${stage}/share/doc/foliotally/changelog")
list(FILTER docs EXCLUDE REGEX "\\.gz$")
if(NOT docs)
  message(FATAL_ERROR "no man page or changelog found under ${stage}")
endif()
foreach(doc IN LISTS docs)
  execute_process(COMMAND gzip -9n "${doc}" COMMAND_ERROR_IS_FATAL ANY)
endforeach()
file(MAKE_DIRECTORY "${stage}/share/lintian/overrides")
file(COPY_FILE "${CPACK_FOLIOTALLY_PACKAGING_DIR}/lintian-overrides"
     "${stage}/share/lintian/overrides/foliotally")
