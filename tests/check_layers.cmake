# Fails when the program's logic reaches past its layer: monitor/ and removal/ include only
# platform/ interfaces (and themselves) and the standard library — never the simulator, the
# front ends, the app, Qt or OS headers.
set(bad "")
foreach(dir monitor removal)
  file(GLOB_RECURSE files ${ROOT}/${dir}/*.cpp ${ROOT}/${dir}/*.h)
  foreach(f IN LISTS files)
    file(STRINGS ${f} lines REGEX "#include *[<\"](sim/|frontends/|app/|Q[A-Za-z]|qt|unistd|sys/|windows)")
    if(lines)
      list(APPEND bad "${f}: ${lines}")
    endif()
  endforeach()
endforeach()
if(bad)
  string(REPLACE ";" "\n" bad "${bad}")
  message(FATAL_ERROR "Includes across the layer rule:\n${bad}")
endif()
