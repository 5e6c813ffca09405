// Soft-body strings: the segment itself and an echo displaced slightly up and to the
// side, so each string looks doubled like a vibrating wire.
#version 120
#extension GL_EXT_geometry_shader4 : require

varying in vec4 vertexColour[];

const vec2 echoOffset = vec2(0.004, 0.006);

void main()
{
    for (int i = 0; i < 2; ++i) {
        gl_FrontColor = vertexColour[i];
        gl_Position = gl_PositionIn[i];
        EmitVertex();
    }
    EndPrimitive();
    for (int i = 0; i < 2; ++i) {
        gl_FrontColor = vec4(vertexColour[i].rgb, vertexColour[i].a * 0.6);
        gl_Position = gl_PositionIn[i] + vec4(echoOffset * gl_PositionIn[i].w, 0.0, 0.0);
        EmitVertex();
    }
    EndPrimitive();
}
