# Runs when installing: writes the desktop entry with the installed program's full path, quoted
# by the desktop entry rules where the path needs it. Expects tickwell_desktop_template,
# tickwell_desktop_output and tickwell_bindir.
set(program "${CMAKE_INSTALL_PREFIX}/${tickwell_bindir}/tickwell")
string(REPLACE "%" "%%" program "${program}")
if(program MATCHES "[] \t\"'\\\\<>~|&;$*?#()`[]")
  # Inside quotes: \ " ` $ take a backslash; then the value's own escaping doubles backslashes.
  string(REGEX REPLACE "([\\\\\"`$])" "\\\\\\1" program "${program}")
  string(REPLACE "\\" "\\\\" program "${program}")
  set(program "\"${program}\"")
endif()
set(TICKWELL_EXEC "${program}")
configure_file("${tickwell_desktop_template}" "${tickwell_desktop_output}" @ONLY)
