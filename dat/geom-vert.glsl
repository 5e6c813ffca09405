// Vertex stage of the line programs: the fixed-function transform and colour, handed
// on to the geometry stage.
#version 120

varying vec4 vertexColour;

void main()
{
    vertexColour = gl_Color;
    gl_Position = gl_ModelViewProjectionMatrix * gl_Vertex;
}
