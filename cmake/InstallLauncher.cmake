# Runs when installing: writes the desktop entry with the installed program's full path, quoted
# by the desktop entry rules where the path needs it. Expects tickwell_desktop_template,
# tickwell_bindir and tickwell_applicationsdir. Written straight into the destination, so that
# installs into different prefixes can run at the same time.
set(program "${CMAKE_INSTALL_PREFIX}/${tickwell_bindir}/tickwell")
string(REPLACE "%" "%%" program "${program}")
if(program MATCHES "[] \t\"'\\\\<>~|&;$*?#()`[]")
  # Inside quotes: \ " ` $ take a backslash; then the value's own escaping doubles backslashes.
  string(REGEX REPLACE "([\\\\\"`$])" "\\\\\\1" program "${program}")
  string(REPLACE "\\" "\\\\" program "${program}")
  set(program "\"${program}\"")
endif()
set(TICKWELL_EXEC "${program}")
get_filename_component(name "${tickwell_desktop_template}" NAME_WLE)
set(destination "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/${tickwell_applicationsdir}/${name}")
message(STATUS "Installing: ${destination}")
configure_file("${tickwell_desktop_template}" "${destination}" @ONLY)
list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${destination}")
