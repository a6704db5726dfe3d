# Puts the default Handset.ini into the program folder unless one is there:
# a user's edited copy is never overwritten by a build.
if(NOT EXISTS "${DST}")
  configure_file("${SRC}" "${DST}" COPYONLY)
endif()
