# The courses (course code N from the folder assets/course/clubNN) and the ball models. Hole
# textures are drawn once into the build tree; the course tool copies the ones a hole's description
# names into its folder.
set(hole_textures ${CMAKE_CURRENT_BINARY_DIR}/hole_textures)
set(hole_texture_files "")
foreach(name Bhills Btrees Bclouds Bsea Bmarram Bstreaks)
  add_custom_command(OUTPUT ${hole_textures}/${name}.fni
    COMMAND ${tool_env} $<TARGET_FILE:fni> encode ${src}/art/course/${name}.svg ${hole_textures}/${name}.fni --speed 6
    DEPENDS fni ${src}/art/course/${name}.svg
    COMMENT "Hole texture ${name}.fni" VERBATIM)
  list(APPEND hole_texture_files ${hole_textures}/${name}.fni)
endforeach()

# Top views of the holes for people to look at (not part of the data set).
set(previews ${CMAKE_BINARY_DIR}/previews)
file(GLOB course_folders LIST_DIRECTORIES true CONFIGURE_DEPENDS ${src}/course/club*)
set(all_holes "")
foreach(course_folder ${course_folders})
  get_filename_component(club ${course_folder} NAME)
  string(REPLACE "club" "" club_number ${club})
  # The course's name and character, for the lobby's list of courses.
  gamedata_copy(course/${club}/Course.txt Map/Club_${club_number}/Course.txt)
  file(GLOB hole_descriptions CONFIGURE_DEPENDS ${course_folder}/hole*.json)
  foreach(description ${hole_descriptions})
    get_filename_component(stem ${description} NAME_WE)
    string(REPLACE "hole" "" number ${stem})
    set(folder Map/Club_${club_number}/Hole_${number})
    add_custom_command(OUTPUT ${gamedata}/${folder}/HoleData.fnx ${gamedata}/${folder}/Hole.ini
      COMMAND ${tool_env} $<TARGET_FILE:course> hole ${description} ${gamedata}/${folder}
              --textures ${hole_textures} --preview ${previews}/${club}_hole${number}.png
      DEPENDS course ${description} ${hole_texture_files}
      COMMENT "Hole ${number} of course ${club_number}" VERBATIM)
    gamedata_output(${folder}/HoleData.fnx)
    gamedata_output(${folder}/Hole.ini)
    list(APPEND all_holes "${club_number}:${number}")
  endforeach()
endforeach()

add_custom_command(OUTPUT ${gamedata}/Image/Ball.fnx ${gamedata}/Image/SBall.fnx
  COMMAND ${tool_env} $<TARGET_FILE:course> balls ${gamedata}/Image
  DEPENDS course
  COMMENT "Ball models" VERBATIM)
gamedata_output(Image/Ball.fnx)
gamedata_output(Image/SBall.fnx)

# Each hole as a player sees it from the tee (for people to look at; not part of the data set).
get_property(outputs_so_far GLOBAL PROPERTY brightlea_gamedata_outputs)
set(views "")
foreach(hole ${all_holes})
  string(REPLACE ":" ";" hole ${hole})
  list(GET hole 0 club_number)
  list(GET hole 1 number)
  set(view ${previews}/club${club_number}_hole${number}_tee.png)
  add_custom_command(OUTPUT ${view}
    COMMAND ${tool_env} $<TARGET_FILE:holeview> ${gamedata} ${club_number} ${number} ${view} tee
    DEPENDS holeview ${outputs_so_far}
    COMMENT "View from the tee of hole ${number} of course ${club_number}" VERBATIM)
  list(APPEND views ${view})
endforeach()
add_custom_target(hole_views ALL DEPENDS ${views})
