# The demo course (course code 1, nine holes) and the ball models. Hole textures are drawn once
# into the build tree; the course tool copies the ones a hole's description names into its folder.
set(hole_textures ${CMAKE_CURRENT_BINARY_DIR}/hole_textures)
set(hole_texture_files "")
foreach(name Bhills Btrees)
  add_custom_command(OUTPUT ${hole_textures}/${name}.fni
    COMMAND ${tool_env} $<TARGET_FILE:fni> encode ${src}/art/course/${name}.svg ${hole_textures}/${name}.fni --speed 6
    DEPENDS fni ${src}/art/course/${name}.svg
    COMMENT "Hole texture ${name}.fni" VERBATIM)
  list(APPEND hole_texture_files ${hole_textures}/${name}.fni)
endforeach()

# Top views of the holes for people to look at (not part of the data set).
set(previews ${CMAKE_BINARY_DIR}/previews)
file(GLOB hole_descriptions CONFIGURE_DEPENDS ${src}/course/club01/hole*.json)
foreach(description ${hole_descriptions})
  get_filename_component(stem ${description} NAME_WE)
  string(REPLACE "hole" "" number ${stem})
  set(folder Map/Club_01/Hole_${number})
  add_custom_command(OUTPUT ${gamedata}/${folder}/HoleData.fnx ${gamedata}/${folder}/Hole.ini
    COMMAND ${tool_env} $<TARGET_FILE:course> hole ${description} ${gamedata}/${folder}
            --textures ${hole_textures} --preview ${previews}/club01_hole${number}.png
    DEPENDS course ${description} ${hole_texture_files}
    COMMENT "Hole ${number} of course 1" VERBATIM)
  gamedata_output(${folder}/HoleData.fnx)
  gamedata_output(${folder}/Hole.ini)
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
foreach(description ${hole_descriptions})
  get_filename_component(stem ${description} NAME_WE)
  string(REPLACE "hole" "" number ${stem})
  add_custom_command(OUTPUT ${previews}/club01_hole${number}_tee.png
    COMMAND ${tool_env} $<TARGET_FILE:holeview> ${gamedata} 1 ${number} ${previews}/club01_hole${number}_tee.png tee
    DEPENDS holeview ${outputs_so_far}
    COMMENT "View from the tee of hole ${number}" VERBATIM)
  list(APPEND views ${previews}/club01_hole${number}_tee.png)
endforeach()
add_custom_target(hole_views ALL DEPENDS ${views})
