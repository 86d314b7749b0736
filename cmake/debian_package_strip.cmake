# Run by cpack on the staged files before it packs them: strips the programs
# as Debian's dh_strip does, which also drops the compiler's .comment and .note
# sections that a plain strip keeps.
file(GLOB programs "${CPACK_TEMPORARY_DIRECTORY}/usr/bin/*")
foreach(program ${programs})
  execute_process(
    COMMAND ${CPACK_STRIP_COMMAND} --remove-section=.comment --remove-section=.note ${program}
    COMMAND_ERROR_IS_FATAL ANY)
endforeach()
