// Particle lines: each segment drawn as it is, with two faint copies beside it that
// make the thin line glow.
#version 120
#extension GL_EXT_geometry_shader4 : require

varying in vec4 vertexColour[];

// Sideways offset of the glow copies in normalised device units.
const float glowOffset = 0.0025;

void emitSegment(vec2 shift, float brightness)
{
    for (int i = 0; i < 2; ++i) {
        gl_FrontColor = vec4(vertexColour[i].rgb, vertexColour[i].a * brightness);
        gl_Position = gl_PositionIn[i] + vec4(shift * gl_PositionIn[i].w, 0.0, 0.0);
        EmitVertex();
    }
    EndPrimitive();
}

void main()
{
    vec2 a = gl_PositionIn[0].xy / max(gl_PositionIn[0].w, 1e-6);
    vec2 b = gl_PositionIn[1].xy / max(gl_PositionIn[1].w, 1e-6);
    vec2 direction = b - a;
    float len = length(direction);
    vec2 normal = len > 1e-6 ? vec2(-direction.y, direction.x) / len : vec2(0.0, 1.0);

    emitSegment(vec2(0.0), 1.0);
    emitSegment(normal * glowOffset, 0.5);
    emitSegment(-normal * glowOffset, 0.5);
}
