// Post-processing vertex stage: the unit square with texture coordinates for the
// picture so far (unit 0) and the layer image (unit 1).
#version 120

void main()
{
    gl_TexCoord[0] = gl_MultiTexCoord0;
    gl_TexCoord[1] = gl_MultiTexCoord1;
    gl_FrontColor = gl_Color;
    gl_Position = gl_ModelViewProjectionMatrix * gl_Vertex;
}
