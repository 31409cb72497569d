# Runs inside cpack on the staged tree before it is packed, doing what Debian's own tools do
# to every package: man pages and the changelog are stored gzip-compressed, without a time
# stamp, so that two builds of one source give the same files.
file(GLOB_RECURSE docs
     "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/share/man/man*/*"
     "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/share/doc/foliotally/changelog")
list(FILTER docs EXCLUDE REGEX "\\.gz$")
if(NOT docs)
  message(FATAL_ERROR "no man page or changelog found under ${CPACK_TEMPORARY_INSTALL_DIRECTORY}")
endif()
foreach(doc IN LISTS docs)
  execute_process(COMMAND gzip -9n "${doc}" COMMAND_ERROR_IS_FATAL ANY)
endforeach()
