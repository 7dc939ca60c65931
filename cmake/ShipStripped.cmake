# ship_stripped(TARGET): the binary a user gets carries no symbols or debug
# sections; the full debug information goes to debug/NAME.debug beside it
# for crash analysis, and the stripped file names it in a debug link so a
# debugger given both finds it.
function(ship_stripped target)
  set(file $<TARGET_FILE:${target}>)
  set(debug_dir $<TARGET_FILE_DIR:${target}>/debug)
  set(debug_file ${debug_dir}/$<TARGET_FILE_NAME:${target}>.debug)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E make_directory ${debug_dir}
    COMMAND ${CMAKE_OBJCOPY} --only-keep-debug ${file} ${debug_file}
    COMMAND ${CMAKE_STRIP} --strip-all ${file}
    COMMAND ${CMAKE_OBJCOPY} --add-gnu-debuglink=${debug_file} ${file}
    VERBATIM)
endfunction()
