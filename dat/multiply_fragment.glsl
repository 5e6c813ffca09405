// Multiply: the picture darkened by the layer image.
#version 120

uniform sampler2D tex0;
uniform sampler2D tex1;

void main()
{
    vec4 picture = texture2D(tex0, gl_TexCoord[0].st);
    vec4 layer = texture2D(tex1, gl_TexCoord[1].st);
    gl_FragColor = vec4(picture.rgb * layer.rgb, picture.a);
}
