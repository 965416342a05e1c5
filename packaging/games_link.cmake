# Run by CPack on its staging tree: Debian keeps games in /usr/games, while /usr/bin is on every
# PATH, root's included. The package holds the demo in both, the one a link to the other.
file(GLOB staged_trees "${CPACK_TEMPORARY_DIRECTORY}/*/usr" "${CPACK_TEMPORARY_DIRECTORY}/usr")
foreach(tree ${staged_trees})
  if(EXISTS "${tree}/bin/lumivaha")
    file(MAKE_DIRECTORY "${tree}/games")
    file(CREATE_LINK ../bin/lumivaha "${tree}/games/lumivaha" SYMBOLIC)
  endif()
endforeach()
